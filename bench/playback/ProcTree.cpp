#include "ProcTree.h"

#include <dirent.h>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <unistd.h>

namespace ProcTree {

namespace {

struct Stat {
    int ppid = 0;
    double cpu = 0;
};

bool ReadStat(int pid, Stat* out) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    // The command name may hold blanks and parentheses.
    const size_t close = text.rfind(')');
    if (close == std::string::npos)
        return false;
    std::istringstream rest(text.substr(close + 2));
    std::string field;
    std::vector<std::string> fields;
    while (rest >> field)
        fields.push_back(field);
    if (fields.size() < 13)
        return false;
    static const double ticks = double(sysconf(_SC_CLK_TCK));
    out->ppid = std::stoi(fields[1]);
    out->cpu = (std::stod(fields[11]) + std::stod(fields[12])) / ticks;
    return true;
}

std::map<int, Stat> Tree(int root) {
    std::map<int, Stat> all;
    if (DIR* dir = opendir("/proc")) {
        while (dirent* e = readdir(dir)) {
            const int pid = std::atoi(e->d_name);
            Stat s;
            if (pid > 0 && ReadStat(pid, &s))
                all[pid] = s;
        }
        closedir(dir);
    }
    std::map<int, Stat> tree;
    if (!all.count(root))
        return tree;
    tree[root] = all[root];
    for (bool grown = true; grown;) {
        grown = false;
        for (const auto& [pid, s] : all)
            if (!tree.count(pid) && tree.count(s.ppid))
                grown = tree.emplace(pid, s).second || grown;
    }
    return tree;
}

} // namespace

double CpuSeconds(int pid) {
    double sum = 0;
    for (const auto& entry : Tree(pid))
        sum += entry.second.cpu;
    return sum;
}

std::vector<std::string> LoadedVideoOutputs(int pid) {
    std::set<std::string> names;
    for (const auto& entry : Tree(pid)) {
        std::ifstream maps("/proc/" + std::to_string(entry.first) + "/maps");
        for (std::string line; std::getline(maps, line);) {
            const size_t at = line.find("/video_output/");
            if (at != std::string::npos)
                names.insert(line.substr(at + 14));
        }
    }
    return {names.begin(), names.end()};
}

} // namespace ProcTree
