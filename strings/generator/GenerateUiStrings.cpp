// Turns the translators' table (ui_strings.tsv) into a C++ source holding the
// texts as UTF-16 literals, sorted for lookup, and a header naming the ids for
// code. Any fault in the table stops the build with its line number, so a
// broken edit never ships.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Column {
    std::string code;
    unsigned languageId = 0;
};

struct Entry {
    unsigned languageId;
    unsigned stringId;
    std::u32string text;
};

struct IdName {
    unsigned stringId;
    std::string name;
    std::string english; // the first language's cell as written
};

struct Table {
    std::vector<Entry> entries;
    bool named = false; // has a "name" column
    std::vector<IdName> names;
};

struct TableError {
    int line;
    std::string message;
};

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> cells;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        cells.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos)
            return cells;
        start = tab + 1;
    }
}

bool ParseUnsigned(const std::string& text, int base, unsigned limit, unsigned* value) {
    if (text.empty() || text.size() > 8)
        return false;
    unsigned n = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return false;
        n = n * unsigned(base) + unsigned(digit);
    }
    if (n > limit)
        return false;
    *value = n;
    return true;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool DecodeUtf8(const std::string& bytes, std::u32string* out) {
    for (size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        int extra;
        char32_t cp;
        char32_t minimum;
        if (b < 0x80) {
            extra = 0, cp = b, minimum = 0;
        } else if ((b & 0xE0) == 0xC0) {
            extra = 1, cp = b & 0x1F, minimum = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2, cp = b & 0x0F, minimum = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3, cp = b & 0x07, minimum = 0x10000;
        } else {
            return false;
        }
        if (i + size_t(extra) >= bytes.size())
            return false; // cut off inside a character
        for (int k = 1; k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(bytes[i + k]);
            if ((c & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        out->push_back(cp);
        i += size_t(extra) + 1;
    }
    return true;
}

// \t, \n and \\ are the only escapes; a lone backslash is a mistake.
bool Unescape(const std::string& cell, std::string* out, std::string* why) {
    for (size_t i = 0; i < cell.size(); ++i) {
        if (cell[i] != '\\') {
            out->push_back(cell[i]);
            continue;
        }
        if (i + 1 == cell.size()) {
            *why = "backslash at the end of a cell (write \\\\ for a backslash)";
            return false;
        }
        const char next = cell[++i];
        if (next == 't')
            out->push_back('\t');
        else if (next == 'n')
            out->push_back('\n');
        else if (next == '\\')
            out->push_back('\\');
        else {
            *why = std::string("unknown escape \\") + next;
            return false;
        }
    }
    return true;
}

std::string CxxLiteral(const std::u32string& text) {
    std::string out = "u\"";
    char buffer[16];
    for (char32_t cp : text) {
        if (cp == '\t') {
            out += "\\t";
        } else if (cp == '\n') {
            out += "\\n";
        } else if (cp == '"' || cp == '\\' || cp == '?') {
            out += '\\';
            out += char(cp);
        } else if (cp >= 0x20 && cp < 0x7F) {
            out += char(cp);
        } else if (cp < 0x20 || cp == 0x7F) {
            std::snprintf(buffer, sizeof buffer, "\\%03o", unsigned(cp));
            out += buffer;
        } else if (cp <= 0xFFFF) {
            std::snprintf(buffer, sizeof buffer, "\\u%04X", unsigned(cp));
            out += buffer;
        } else {
            std::snprintf(buffer, sizeof buffer, "\\U%08X", unsigned(cp));
            out += buffer;
        }
    }
    return out + "\"";
}

// A constant name: "k", a capital letter, then letters and digits.
bool IsIdName(const std::string& name) {
    if (name.size() < 2 || name[0] != 'k' || name[1] < 'A' || name[1] > 'Z')
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
}

Table ParseTable(std::istream& in) {
    std::vector<Column> columns;
    bool hasName = false;
    bool hasContext = false;
    std::set<unsigned> seenIds;
    std::set<std::string> seenNames;
    Table table;
    std::vector<Entry>& entries = table.entries;
    std::string line;
    int lineNumber = 0;
    bool headerSeen = false;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (lineNumber == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0)
            line.erase(0, 3);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        const std::vector<std::string> cells = SplitTabs(line);

        if (!headerSeen) {
            headerSeen = true;
            if (cells[0] != "id")
                throw TableError{lineNumber, "the column line must start with \"id\""};
            std::set<unsigned> languageIds;
            for (size_t c = 1; c < cells.size(); ++c) {
                const std::string& name = cells[c];
                if (name == "name" && c == 1) {
                    hasName = table.named = true;
                    continue;
                }
                if (name == "context" && c + 1 == cells.size()) {
                    hasContext = true;
                    continue;
                }
                const size_t colon = name.find(':');
                Column column;
                if (colon == std::string::npos || colon == 0 ||
                    !ParseUnsigned(name.substr(colon + 1), 16, 0xFFFF, &column.languageId))
                    throw TableError{lineNumber, "column \"" + name +
                                                     "\" is neither CODE:XXXX, a second "
                                                     "\"name\" nor a last \"context\""};
                column.code = name.substr(0, colon);
                if (!languageIds.insert(column.languageId).second)
                    throw TableError{lineNumber, "language id of \"" + name + "\" repeats"};
                columns.push_back(column);
            }
            if (columns.empty())
                throw TableError{lineNumber, "no language columns"};
            continue;
        }

        const size_t first = hasName ? 2 : 1; // the first language's cell
        const size_t expected = columns.size() + first + (hasContext ? 1 : 0);
        if (cells.size() != expected)
            throw TableError{lineNumber, "expected " + std::to_string(expected) +
                                             " tab-separated cells, found " +
                                             std::to_string(cells.size())};
        unsigned stringId = 0;
        if (!ParseUnsigned(cells[0], 10, 0xFFFF, &stringId))
            throw TableError{lineNumber, "id \"" + cells[0] + "\" is not a number 0..65535"};
        if (!seenIds.insert(stringId).second)
            throw TableError{lineNumber, "id " + cells[0] + " repeats"};
        if (hasName) {
            const std::string& name = cells[1];
            if (!IsIdName(name))
                throw TableError{lineNumber, "name \"" + name +
                                                 "\" is not k, a capital, then letters and digits"};
            if (!seenNames.insert(name).second)
                throw TableError{lineNumber, "name " + name + " repeats"};
            table.names.push_back({stringId, name, cells[first]});
        }
        for (size_t c = 0; c < columns.size(); ++c) {
            std::string bytes;
            std::string why;
            if (!Unescape(cells[c + first], &bytes, &why))
                throw TableError{lineNumber, columns[c].code + ": " + why};
            std::u32string text;
            if (!DecodeUtf8(bytes, &text))
                throw TableError{lineNumber, columns[c].code + ": not valid UTF-8"};
            if (text.find(U'\0') != std::u32string::npos)
                throw TableError{lineNumber, columns[c].code + ": NUL character"};
            // An empty cell is an untranslated text: the lookup falls back.
            if (!text.empty())
                entries.push_back({columns[c].languageId, stringId, std::move(text)});
        }
    }
    if (!headerSeen)
        throw TableError{lineNumber, "no column line"};
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.languageId != b.languageId ? a.languageId < b.languageId : a.stringId < b.stringId;
    });
    return table;
}

std::string Render(const std::vector<Entry>& entries, const std::string& sourceName) {
    std::ostringstream out;
    out << "// Generated from " << sourceName << "; edit that file, not this one.\n"
        << "#include \"strings/StringTable.h\"\n\n"
        << "#include <iterator>\n\n"
        << "namespace {\n"
        << "constexpr StoredUiText kTexts[] = {\n";
    char head[64];
    for (const Entry& e : entries) {
        std::snprintf(head, sizeof head, "    {0x%04X, %u, ", e.languageId, e.stringId);
        out << head << CxxLiteral(e.text) << "},\n";
    }
    if (entries.empty())
        out << "    {0, 0, u\"\"},\n";
    out << "};\n"
        << "} // namespace\n\n"
        << "StoredUiTable BuiltInUiTable() { return {kTexts, "
        << (entries.empty() ? "0" : "std::size(kTexts)") << "}; }\n";
    return out.str();
}

std::string RenderNames(const std::vector<IdName>& names, const std::string& sourceName) {
    std::ostringstream out;
    out << "// Generated from " << sourceName << "; edit that file, not this one.\n"
        << "#pragma once\n\n"
        << "// The ids of the string table by name, each with its number and English text.\n"
        << "namespace UiStringId {\n";
    for (const IdName& n : names)
        out << "constexpr unsigned " << n.name << " = " << n.stringId << "; // \"" << n.english
            << "\"\n";
    out << "} // namespace UiStringId\n";
    return out.str();
}

bool WriteFile(const char* path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        std::fprintf(stderr, "%s: cannot be written\n", path);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: %s TABLE.tsv OUTPUT.cpp [OUTPUT_IDS.h]\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "%s: cannot be read\n", argv[1]);
        return 1;
    }
    Table table;
    try {
        table = ParseTable(in);
    } catch (const TableError& error) {
        std::fprintf(stderr, "%s:%d: %s\n", argv[1], error.line, error.message.c_str());
        return 1;
    }
    std::string name = argv[1];
    name = name.substr(name.find_last_of('/') + 1);
    if (argc == 4 && !table.named) {
        std::fprintf(stderr, "%s: no \"name\" column to write %s from\n", argv[1], argv[3]);
        return 1;
    }
    if (!WriteFile(argv[2], Render(table.entries, name)))
        return 1;
    if (argc == 4 && !WriteFile(argv[3], RenderNames(table.names, name)))
        return 1;
    return 0;
}
