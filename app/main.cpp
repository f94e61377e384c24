#include "app/CVELApp.h"

int main(int argc, char** argv) {
    CVELApp app;
    return app.Run(argc, argv);
}
