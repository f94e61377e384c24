#pragma once

// The application object: starts the services the main window needs, runs the
// main window modally and shuts down when it closes.
class CVELApp {
  public:
    CVELApp() = default;
    ~CVELApp();
    CVELApp(const CVELApp&) = delete;
    CVELApp& operator=(const CVELApp&) = delete;

    // Returns the process's exit code.
    int Run(int argc, char** argv);
};
