#include "common/filebytes.h"
#include "common/fileobstacles.h"
#include "config/configfiles.h"
#include "config/configimage.h"

#include <QtTest>

namespace {

// Slot k holds (from + k) mod 256.
ConfigBlock Numbers(int from)
{
    ConfigBlock block;
    for (int k = 0; k < int(block.size()); ++k)
        block[k] = qint16((from + k) % 256);
    return block;
}

} // namespace

Q_DECLARE_METATYPE(FileFault)

class ConfigFilesTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString Path(const QString& name) const { return dir.filePath(name); }

private slots:
    // Every value 0..255 in every slot (the uninterpreted 8 and 10..15
    // included) and the extremes survive the format; the file is byte-exact.
    void everyValueSurvivesARoundTrip()
    {
        for (int from = 0; from < 256; ++from) {
            ConfigBlock back{};
            QVERIFY(ParseConfigBlock(FormatConfigBlock(Numbers(from)), back));
            QCOMPARE(back, Numbers(from));
        }
        Configuration saved;
        for (int k = 0; k < Configuration::BlockSlots; ++k)
            saved.ConfigImage[k] = qint16(k % 256);
        saved.ConfigImage[1] = -32768;
        saved.ConfigImage[10] = 32767;
        QVERIFY(WriteConfigurationFile(saved, Path("round.QLV")));
        const QByteArray text = Bytes(Path("round.QLV"));
        QVERIFY(text.startsWith(" 0 \r\n-32768 \r\n 2 \r\n"));
        QVERIFY(text.endsWith(" 254 \r\n 255 \r\n"));
        QCOMPARE(text.count("\r\n"), 2048);
        Configuration loaded;
        QVERIFY(ReadConfigurationFile(loaded, Path("round.QLV")));
        QCOMPARE(ImageBlock(loaded), ImageBlock(saved));
    }

    // Other separators are read as well; a missing, short or damaged file is
    // refused, names the place and leaves the image as it was.
    void reading_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");   // "": read
        const QByteArray good = FormatConfigBlock(Numbers(0)), lines = FormatConfigBlock(Numbers(3));
        QTest::newRow("commas and blanks") << QByteArray(lines).replace("\r\n", ", ") << "";
        QTest::newRow("LF only") << QByteArray(lines).replace("\r\n", "\n") << "";
        QTest::newRow("CR only") << QByteArray(lines).replace("\r\n", "\r") << "";
        QTest::newRow("tabs, trailing text") << QByteArray(lines).replace(" \r\n ", "\t") + "anything at all, 1 2 x" << "";
        QTest::newRow("several to a line") << QByteArray(lines).replace(" \r\n 1", " 1") << "";
        QTest::newRow("missing") << QByteArray() << "does not exist";
        QTest::newRow("empty") << QByteArray("") << "line 1: the file ends after 0 of 2048 numbers";
        QTest::newRow("2047 numbers") << good.left(good.lastIndexOf(" 255")) << "line 2048: the file ends after 2047 of 2048";
        QTest::newRow("text") << QByteArray(" 1 \r\n 2 \r\nabc\r\n") << "line 3 (slot 2): \"abc\" is not a whole number";
        QTest::newRow("decimal") << QByteArray("1\n2.5\n") << "line 2 (slot 1): \"2.5\" is not";
        QTest::newRow("too large") << QByteArray("1 32768") << "line 1 (slot 1): \"32768\" is outside -32768..32767";
        QTest::newRow("empty entry") << QByteArray("1,,2") << "line 1 (slot 1): empty entry";
        QTest::newRow("nul byte") << QByteArray("1\n\0\n", 4) << "line 2 (slot 1)";
    }
    void reading()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QFile::remove(Path("bad.QLV"));
        if (!content.isNull())
            QVERIFY(WriteFileAtomically(Path("bad.QLV"), content));
        Configuration m;
        m.ConfigImage[0] = 99;
        const FileStatus status = ReadConfigurationFile(m, Path("bad.QLV"));
        if (message.isEmpty()) {
            QVERIFY2(status, qPrintable(status.message));
            QCOMPARE(ImageBlock(m), Numbers(3));
            return;
        }
        QVERIFY2(!status && status.message.startsWith(Path("bad.QLV") + ": ") && status.message.contains(message), qPrintable(status.message));
        QCOMPARE(int(m.ConfigImage[0]), 99);
    }

    // A failed save leaves the previous file intact and reports a full disk
    // as such. The file size limit makes the write fail half-way.
    void failedSaveKeepsThePreviousFile()
    {
        Configuration m;
        QVERIFY(WriteConfigurationFile(m, Path("keep.QLV")));
        const QByteArray before = Bytes(Path("keep.QLV"));
        FileStatus status;
        {
            FileSizeLimit full(4000);
            QVERIFY(full.Active());
            status = WriteConfigurationFile(m, Path("keep.QLV"));
        }
        QVERIFY2(!status && status.diskFull && status.message.contains("keep.QLV"), qPrintable(status.message));
        QCOMPARE(Bytes(Path("keep.QLV")), before);
        QCOMPARE(QDir(dir.path()).entryList({"keep*"}, QDir::Files | QDir::Hidden), QStringList{"keep.QLV"});
        // Any other failure is not reported as a full disk.
        QVERIFY(!WriteFileAtomically(Path("no/such/folder/x.QLV"), "1").diskFull);
        QVERIFY(!WriteFileAtomically(dir.path(), "1"));
    }

    void commentFileNames_data()
    {
        QTest::addColumn<QString>("config");
        QTest::addColumn<QString>("comments");
        QTest::newRow("usual") << "/d/VARDELO.QLV" << "/d/VARDELO.BGT";
        QTest::newRow("no extension") << "/d/KARTEN" << "/d/KA.BGT";
        QTest::newRow("four letters") << "/d/ABCD" << "/d/.BGT";
        QTest::newRow("three letters: appended") << "/d/ABC" << "/d/ABC.BGT";
    }
    void commentFileNames()
    {
        QFETCH(QString, config);
        QTEST(CommentFileNameFor(config), "comments");
    }

    // Entries 0, 1999 and 2000 after loading over texts "kept". A file that
    // would lose texts without a word when disregarded (too short, text
    // beyond its last line) or cannot be read is reported, naming it and
    // where; an empty one (what the editor's opening creates) and a short one
    // without texts are no damage.
    void commentFileLineCounts_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<FileFault>("fault");
        QTest::addColumn<int>("line");
        const QByteArray line = "text\r\n";
        const QStringList taken(3, QStringLiteral("text"));
        const QStringList reset(3, ResetCommentText);
        const auto none = FileFault::None;
        QTest::newRow("missing") << QByteArray() << reset << none << 0;
        QTest::newRow("empty") << QByteArray("") << reset << none << 0;
        QTest::newRow("1999 lines: disregarded, reported") << line.repeated(1999) << reset << FileFault::TooFewLines << 1999;
        QTest::newRow("ten random lines") << GarbageLines(10) << reset << FileFault::TooFewLines << 10;
        QTest::newRow("short without texts") << (QByteArray("\r\n") + ResetCommentText.toLatin1() + "\r\n  \r\n").repeated(600)
                                             << reset << none << 0;
        QTest::newRow("2000 lines") << line.repeated(2000) << QStringList{"text", "text", "kept"} << none << 0;
        QTest::newRow("2001 lines") << line.repeated(2001) << taken << none << 0;
        QTest::newRow("LF only") << QByteArray("text\n").repeated(2001) << taken << none << 0;
        QTest::newRow("last line unended") << line.repeated(2001).chopped(2) << taken << none << 0;
        QTest::newRow("blank lines after the last") << line.repeated(2001) + "\r\n \r\n----------\r\n" << taken << none << 0;
        QTest::newRow("text after the last line") << line.repeated(2001) + "\r\nlost\r\n" << reset
                                                  << FileFault::TooManyLines << 2003;
        QTest::newRow("a folder") << QByteArray("<folder>") << reset << FileFault::Folder << 0;
    }
    void commentFileLineCounts()
    {
        QFETCH(QByteArray, content);
        QFETCH(FileFault, fault);
        QFETCH(int, line);
        QFile::remove(Path("counts.BGT"));
        QDir().rmdir(Path("counts.BGT"));
        if (content == "<folder>")
            QVERIFY(QDir().mkdir(Path("counts.BGT")));
        else if (!content.isNull())
            QVERIFY(WriteFileAtomically(Path("counts.BGT"), content));
        Configuration m;
        m.ListComment.fill("kept");
        const FileStatus status = LoadComments(m, Path("counts.QLV"));
        QCOMPARE(m.CommentFileName, Path("counts.BGT"));
        QTEST((QStringList{m.ListComment[0], m.ListComment[1999], m.ListComment[2000]}), "entries");
        QVERIFY(QFileInfo::exists(Path("counts.BGT")));   // the editor's opening creates it
        QCOMPARE(status.fault, fault);
        QCOMPARE(status.line, line);
        if (fault != FileFault::None)
            QVERIFY2(status.message.startsWith(Path("counts.BGT") + ": "), qPrintable(status.message));
    }

    // Every byte but CR and LF survives a load and a save; texts are written
    // in Windows-1252, and a line end inside a text must not shift later rows.
    void commentsSurviveSaveAndLoad()
    {
        QByteArray everyByte;
        for (int b = 0; b < 256; ++b)
            if (b != '\r' && b != '\n')
                everyByte += char(b);
        QVERIFY(WriteFileAtomically(Path("texts.BGT"), everyByte + "\r\n" + QByteArray("text\r\n").repeated(2000)));
        Configuration m;
        LoadComments(m, Path("texts.QLV"));
        m.ListComment[1] = QStringLiteral("Müller, Jörg  ");
        m.ListComment[2] = QStringLiteral("€ „quoted“ ß");
        m.ListComment[3] = QString();
        m.ListComment[4] = QStringLiteral("two\r\nlines");
        QVERIFY(SaveComments(m, Path("texts.BGT")));
        const QByteArray bytes = Bytes(Path("texts.BGT"));
        QVERIFY(bytes.startsWith(everyByte + "\r\nM\xfcller, J\xf6rg  \r\n\x80 \x84quoted\x93 \xdf\r\n\r\ntwo  lines\r\ntext\r\n"));
        QCOMPARE(bytes.count("\r\n"), 2001);
        Configuration loaded;
        LoadComments(loaded, Path("texts.QLV"));
        m.ListComment[4] = QStringLiteral("two  lines");
        QVERIFY(loaded.ListComment == m.ListComment);
    }

    // Port and language read with the leading-blank-tolerant number rule; a
    // missing or short file is rewritten with "1" and "0", any other kept.
    void settingsFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("language");
        QTest::addColumn<QByteArray>("fileAfter");
        QTest::newRow("com3 French") << QByteArray(" 3\r\n 2000\r\n") << 3 << 2000 << QByteArray(" 3\r\n 2000\r\n");
        QTest::newRow("no number") << QByteArray("com\r\n3000x\r\n") << 0 << 3000 << QByteArray("com\r\n3000x\r\n");
        QTest::newRow("port 9") << QByteArray("9\r\n0\r\n") << 0 << 0 << QByteArray("9\r\n0\r\n");
        QTest::newRow("odd language") << QByteArray("1\r\n 500\r\n") << 1 << 0 << QByteArray("1\r\n 500\r\n");
        QTest::newRow("one line") << QByteArray(" 4\r\n") << 1 << 0 << QByteArray("1\r\n0\r\n");
        QTest::newRow("missing, folder too") << QByteArray() << 1 << 0 << QByteArray("1\r\n0\r\n");
        // Only the beginning of a huge file is read; the file stays.
        const QByteArray huge = QByteArray(" 2\r\n 1000\r\n") + QByteArray(17 * 1024 * 1024, 'x');
        QTest::newRow("17 MB, valid first lines") << huge << 2 << 1000 << huge;
    }
    void settingsFile()
    {
        QFETCH(QByteArray, content);
        const QString folder = Path(QTest::currentDataTag()) + QStringLiteral("/sub");
        const QString path = folder + QStringLiteral("/VARDELO.ini");
        if (!content.isEmpty()) {
            QDir().mkpath(folder);
            QVERIFY(WriteFileAtomically(path, content));
        }
        ProgramState program;
        ReadSettings(program, path);
        QTEST(int(program.ChosenPort), "port");
        QTEST(int(program.LanguageOffset), "language");
        QTEST(Bytes(path), "fileAfter");
    }

    // Written with one leading blank, into the user's configuration folder.
    void settingsAreWritten()
    {
        ProgramState program;
        program.ChosenPort = 2;
        program.LanguageText = QStringLiteral(" 1000");
        QVERIFY(WriteSettings(program, Path("new/folder/VARDELO.ini")));
        QCOMPARE(Bytes(Path("new/folder/VARDELO.ini")), QByteArray(" 2\r\n 1000\r\n"));
    }

    // The interface dialog's address for a port goes into the port map
    // beside the settings file: a missing map (and folder) is made, a map
    // keeps its other lines, a folder where the map should be is refused
    // and left as it is.
    void portMapEntryIsStored()
    {
        const QString map = PortMapPathFor(Path("site/VARDELO.ini"));
        QCOMPARE(map, Path("site/ports.map"));
        QVERIFY(StorePortMapEntry(map, 3, QStringLiteral("rfc2217://door1:4001")));
        QCOMPARE(Bytes(map), QByteArray("com3=rfc2217://door1:4001\n"));
        QVERIFY(StorePortMapEntry(map, 1, QStringLiteral("sim")));
        QVERIFY(StorePortMapEntry(map, 3, QString()));
        QCOMPARE(Bytes(map), QByteArray("com1=sim\n"));
        QVERIFY(QDir().mkpath(Path("folder/ports.map")));
        const FileStatus refused = StorePortMapEntry(Path("folder/ports.map"), 3, QStringLiteral("sim"));
        QVERIFY(!refused);
        QVERIFY(QFileInfo(Path("folder/ports.map")).isDir());
    }
};

QTEST_GUILESS_MAIN(ConfigFilesTest)
#include "tst_configfiles.moc"
