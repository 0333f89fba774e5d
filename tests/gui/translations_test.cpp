// The English translation file: every text has its finished translation,
// and it holds exactly the texts the sources mark (lupdate, run afresh on
// a copy, finds nothing new and nothing gone).
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include "support/qt_test_main.h"
#include "support/test_paths.h"

namespace {

struct Message {
    QString context, source, translation, type;
};

QList<Message> ReadTs(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read %s", qPrintable(path));
    QXmlStreamReader xml(&file);
    QList<Message> messages;
    QString context;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == u"name") context = xml.readElementText();
        if (xml.name() == u"message") messages.append({context, {}, {}, {}});
        if (xml.name() == u"source") messages.last().source = xml.readElementText();
        if (xml.name() == u"translation") {
            messages.last().type = xml.attributes().value(QStringLiteral("type")).toString();
            messages.last().translation = xml.readElementText();
        }
    }
    if (xml.hasError()) qFatal("%s: %s", qPrintable(path), qPrintable(xml.errorString()));
    return messages;
}

QSet<QString> Keys(const QList<Message>& messages) {
    QSet<QString> keys;
    for (const Message& m : messages) keys.insert(m.context + " / " + m.source);
    return keys;
}

}  // namespace

class TranslationsTest : public QObject {
    Q_OBJECT

private slots:
    void everyTextIsTranslated() {
        const QList<Message> messages = ReadTs(KVT_TS_FILE);
        QVERIFY(messages.size() > 50);
        for (const Message& m : messages)
            QVERIFY2(m.type.isEmpty() && !m.translation.trimmed().isEmpty(),
                     qPrintable(m.context + " / " + m.source + ": " + m.type));
    }

    void theFileHoldsWhatTheSourcesMark() {
        QTemporaryDir dir;
        const QString copy = dir.path() + "/kvt540m_en.ts";
        QVERIFY(QFile::copy(KVT_TS_FILE, copy));
        QProcess lupdate;
        lupdate.start(KVT_LUPDATE, {"-no-obsolete", "-locations", "none", "-silent",
                                    QStringLiteral("@") + KVT_TRANSLATED_SOURCES, "-ts", copy});
        QVERIFY(lupdate.waitForFinished(60000));
        QVERIFY2(lupdate.exitCode() == 0, lupdate.readAllStandardError().constData());
        const QSet<QString> kept = Keys(ReadTs(KVT_TS_FILE)), found = Keys(ReadTs(copy));
        QVERIFY2(found - kept == QSet<QString>{},
                 qPrintable("not in the .ts file: " + QStringList((found - kept).values()).join(" | ")));
        QVERIFY2(kept - found == QSet<QString>{},
                 qPrintable("no longer in the sources: " + QStringList((kept - found).values()).join(" | ")));
    }
};

KVT_QTEST_GUILESS(TranslationsTest)
#include "translations_test.moc"
