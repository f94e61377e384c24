// The generator that compiles the translators' table: it must keep texts as
// they stand and stop the build, naming the line, on a broken table.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct GeneratorRun {
    int exitCode = -1;
    QString errors;
    QString output;
    QString ids; // the header of named ids, when asked for
};

GeneratorRun Generate(const QByteArray& table, bool withIds = false) {
    QTemporaryDir dir;
    GeneratorRun run;
    QFile in(dir.filePath("table.tsv"));
    if (!in.open(QIODevice::WriteOnly) || in.write(table) != table.size())
        return run;
    in.close();
    QStringList arguments = {in.fileName(), dir.filePath("out.cpp")};
    if (withIds)
        arguments << dir.filePath("ids.h");
    QProcess process;
    process.start(HALVEX_BINARY_DIR "/strings/halvex_strings_gen", arguments);
    if (!process.waitForFinished(30000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.errors = QString::fromUtf8(process.readAllStandardError());
    QFile out(dir.filePath("out.cpp"));
    if (out.open(QIODevice::ReadOnly))
        run.output = QString::fromUtf8(out.readAll());
    QFile ids(dir.filePath("ids.h"));
    if (ids.open(QIODevice::ReadOnly))
        run.ids = QString::fromUtf8(ids.readAll());
    return run;
}

const QByteArray kHeader = "# comment line\n"
                           "\n"
                           "id\tENG:0409\tJPN:0411\tcontext\n";

TEST(StringTableGenerator, WritesSortedEntriesWithEscapesAndBlanksKept) {
    const GeneratorRun run = Generate(kHeader + "7\tb\\tc  \tx\\\\y\tnote\n"
                                                "3\t\"q\"?\t\xE6\x97\xA5\\n\tnote\r\n"
                                                "5\t\t\xF0\x9F\x9A\x97\t\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    const QString out = run.output;
    const QStringList expected = {R"({0x0409, 3, u"\"q\"\?"},)", R"({0x0409, 7, u"b\tc  "},)",
                                  R"({0x0411, 3, u"\u65E5\n"},)", R"({0x0411, 5, u"\U0001F697"},)",
                                  R"({0x0411, 7, u"x\\y"},)"};
    int last = -1;
    for (const QString& line : expected) {
        const int at = out.indexOf(line);
        EXPECT_GT(at, last) << line.toStdString() << "\n" << out.toStdString();
        last = at;
    }
    // The empty English cell of id 5 is left out, so the lookup falls back.
    EXPECT_FALSE(out.contains("{0x0409, 5,"));
    EXPECT_FALSE(out.contains("note"));
}

TEST(StringTableGenerator, RejectsBrokenTables) {
    struct Case {
        const char* what;
        QByteArray table;
        const char* message;
    } cases[] = {
        {"missing cell", kHeader + "1\ta\tb\tc\n2\ta\tb\n", ":5: expected 4"},
        {"extra cell", kHeader + "1\ta\tb\tc\td\n", ":4: expected 4"},
        {"repeated id", kHeader + "1\ta\tb\t\n1\tc\td\t\n", ":5: id 1 repeats"},
        {"id not a number", kHeader + "x1\ta\tb\t\n", ":4: id"},
        {"id too large", kHeader + "65536\ta\tb\t\n", ":4: id"},
        {"unknown escape", kHeader + "1\ta\\qb\tc\t\n", ":4: ENG: unknown escape"},
        {"trailing backslash", kHeader + "1\ta\tb\\\t\n", ":4: JPN: backslash"},
        {"broken UTF-8", kHeader + "1\ta\xE6\x97\tb\t\n", ":4: ENG: not valid UTF-8"},
        {"overlong UTF-8", kHeader + "1\t\xC0\xAF\tb\t\n", ":4: ENG: not valid UTF-8"},
        {"bad column", "id\tENG:04G9\n", ":1: column"},
        {"repeated language", "id\tENG:0409\tUSA:409\n", ":1: language id"},
        {"no id column", "key\tENG:0409\n", ":1: the column line"},
        {"context not last", "id\tcontext\tENG:0409\n", ":1: column"},
        {"no columns at all", "# only comments\n", "no column line"},
    };
    for (const Case& c : cases) {
        const GeneratorRun run = Generate(c.table);
        EXPECT_EQ(run.exitCode, 1) << c.what;
        EXPECT_TRUE(run.errors.contains(c.message)) << c.what << ": " << run.errors.toStdString();
    }
}

const QByteArray kNamedHeader = "id\tname\tENG:0409\tJPN:0411\tcontext\n";

// The name column gives code a constant per id; the texts are the same as
// without it, and a name the compiler would not take stops the build.
TEST(StringTableGenerator, WritesNamedIdsBesideTheTexts) {
    const GeneratorRun run = Generate(kNamedHeader + "7\tkSecond\tb\\\\\tx\tnote\n"
                                                     "3\tkFirst9\t\"q\"\t\xE6\x97\xA5\tnote\n",
                                      true);
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.ids.contains("namespace UiStringId {")) << run.ids.toStdString();
    const int second = run.ids.indexOf("constexpr unsigned kSecond = 7; // \"b\\\\\"\n");
    const int first = run.ids.indexOf("constexpr unsigned kFirst9 = 3; // \"\"q\"\"\n");
    EXPECT_GE(second, 0) << run.ids.toStdString();
    EXPECT_GT(first, second) << "names keep the table's order";
    EXPECT_TRUE(run.output.contains(R"({0x0409, 7, u"b\\"},)")) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains(R"({0x0411, 3, u"\u65E5"},)")) << run.output.toStdString();
    EXPECT_FALSE(run.output.contains("kSecond"));

    struct Case {
        const char* what;
        QByteArray table;
        const char* message;
    } cases[] = {
        {"lower-case start", kNamedHeader + "1\tkfirst\ta\tb\t\n", ":2: name \"kfirst\""},
        {"no k", kNamedHeader + "1\tFirst\ta\tb\t\n", ":2: name"},
        {"empty name", kNamedHeader + "1\t\ta\tb\t\n", ":2: name \"\""},
        {"not an identifier", kNamedHeader + "1\tkOne-Two\ta\tb\t\n", ":2: name"},
        {"repeated name", kNamedHeader + "1\tkOne\ta\tb\t\n2\tkOne\tc\td\t\n",
         ":3: name kOne repeats"},
        {"missing cell", kNamedHeader + "1\tkOne\ta\t\n", ":2: expected 5"},
        {"name not second", "id\tENG:0409\tname\n", ":1: column"},
        {"ids asked of a table without names", kHeader + "1\ta\tb\t\n", "no \"name\" column"},
    };
    for (const Case& c : cases) {
        const GeneratorRun run = Generate(c.table, true);
        EXPECT_EQ(run.exitCode, 1) << c.what;
        EXPECT_TRUE(run.errors.contains(c.message)) << c.what << ": " << run.errors.toStdString();
    }
}

} // namespace
