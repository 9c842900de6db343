// The demonstration configuration behind the run command is generated through
// the codecs; the files committed under demo/ must match it and hold what the
// run command promises (four lists with cards and comments, German display
// texts, the README's password). VARDELO_WRITE_DEMO=1 writes them anew.
#include "common/democonfig.h"
#include "config/configfiles.h"
#include "config/configimage.h"

#include <QtTest>

class DemoConfigTest : public QObject {
    Q_OBJECT
private slots:
    void committedFilesMatchTheGenerator()
    {
        Configuration m;
        BuildDemoConfiguration(m);
        const QString qlv = qEnvironmentVariable("VARDELO_SOURCE_DIR") + QStringLiteral("/demo/DEMO.QLV");
        if (qEnvironmentVariableIsSet("VARDELO_WRITE_DEMO")) {
            QVERIFY(WriteConfigurationFile(m, qlv));
            QVERIFY(SaveComments(m, CommentFileNameFor(qlv)));
        }
        Configuration read;
        QVERIFY(ReadConfigurationFile(read, qlv));
        QCOMPARE(ImageBlock(read), ImageBlock(m));
        LoadComments(read, qlv, false);
        QVERIFY(read.ListComment == m.ListComment);
        DecodeLists(read);
        int cards = 0;
        for (int list = 1, row = 0; list <= 4; ++list) {
            QVERIFY(ListInUse(read, list) && read.ListCount(list) > 0);
            QVERIFY(!read.ListData[row].startsWith(QStringLiteral("0000")));   // first row is a card
            for (int k = 0; k < read.ListCount(list); ++k, ++row)
                cards += read.ListComment[row] != ResetCommentText ? 1 : 0;
        }
        QVERIFY2(cards >= 24, qPrintable(QString::number(cards)));
        QCOMPARE(DecodePassword(read), DemoPassword);
        QCOMPARE(DecodeDisplayLine(read, 3), QStringLiteral(" Tür öffnet ... "));
        for (int line = 0; line < 16; ++line)
            QVERIFY(!DecodeDisplayLine(read, line).trimmed().isEmpty());
    }
};

QTEST_MAIN(DemoConfigTest)
#include "tst_democonfig.moc"
