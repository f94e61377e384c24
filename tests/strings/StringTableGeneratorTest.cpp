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
};

GeneratorRun Generate(const QByteArray& table) {
    QTemporaryDir dir;
    GeneratorRun run;
    QFile in(dir.filePath("table.tsv"));
    if (!in.open(QIODevice::WriteOnly) || in.write(table) != table.size())
        return run;
    in.close();
    QProcess process;
    process.start(HALVEX_BINARY_DIR "/strings/halvex_strings_gen",
                  {in.fileName(), dir.filePath("out.cpp")});
    if (!process.waitForFinished(30000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.errors = QString::fromUtf8(process.readAllStandardError());
    QFile out(dir.filePath("out.cpp"));
    if (out.open(QIODevice::ReadOnly))
        run.output = QString::fromUtf8(out.readAll());
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

} // namespace
