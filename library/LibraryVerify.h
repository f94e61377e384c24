#pragma once
// Reading every file a library keeps again and comparing it with the
// SHA-256 its index holds.
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

struct VerifyProblem {
    QString path; // below the library
    QString what; // "missing", "changed", ...
};

struct VerifyResult {
    QString error; // the library could not be checked at all
    int checked = 0;
    int64_t bytes = 0;
    std::vector<VerifyProblem> problems;
};

// `progress(files done, files in all)` may be empty.
VerifyResult VerifyLibrary(const QString& library,
                           const std::function<void(int done, int total)>& progress);
