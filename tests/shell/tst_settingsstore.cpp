#include "shell/SettingsStore.h"

#include <QDate>
#include <QFile>
#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

}  // namespace

class TestSettingsStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void userFileLivesInTheConfigFolder();
    void defaultsOnAnEmptyStore_data();
    void defaultsOnAnEmptyStore();
    void storedTextWinsOverTheDefault_data();
    void storedTextWinsOverTheDefault();
    void eachWriteIsOnDiskAtOnce();
    void failingWriteIsReportedOnce();
    void corruptFileReadsAsMissing_data();
    void corruptFileReadsAsMissing();

private:
    QTemporaryDir m_config;
    QTemporaryDir m_work;
};

void TestSettingsStore::initTestCase() {
    // QSettings reads the folder once per process, so it is fixed before the first store.
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
}

void TestSettingsStore::init() {
    QFile::remove(m_config.filePath(u"Kestrelor.ini"_s));
}

void TestSettingsStore::cleanup() {
    QLocale::setDefault(QLocale::c());
}

void TestSettingsStore::userFileLivesInTheConfigFolder() {
    SettingsStore store;
    QCOMPARE(store.filePath(), m_config.filePath(u"Kestrelor.ini"_s));
    store.write(u"Text1"_s, u"2500"_s);
    QSettings raw(m_config.filePath(u"Kestrelor.ini"_s), QSettings::IniFormat);
    QCOMPARE(raw.childGroups(), QStringList{u"Ravenmoor"_s});
    QCOMPARE(raw.value(u"Ravenmoor/Text1"_s), QVariant(u"2500"_s));
}

void TestSettingsStore::defaultsOnAnEmptyStore_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("dateFormat");
    QTest::newRow("en_US") << u"en_US"_s << u"10.75"_s << u"M/d/yyyy"_s;
    QTest::newRow("de_DE") << u"de_DE"_s << u"10,75"_s << u"dd.MM.yyyy"_s;
}

void TestSettingsStore::defaultsOnAnEmptyStore() {
    QFETCH(QString, locale);
    QFETCH(QString, rate);
    QFETCH(QString, dateFormat);
    QLocale::setDefault(QLocale(locale));

    const SettingsStore store;
    QCOMPARE(store.read(u"DateTimePicker1"_s, QDate::currentDate()),
             QDate::currentDate().toString(dateFormat));
    QCOMPARE(store.read(u"Text1"_s, 100000), u"100000"_s);
    QCOMPARE(store.read(u"Text2"_s, 12), u"12"_s);
    QCOMPARE(store.read(u"Text3"_s, 10.75), rate);
    // Reading never creates the file.
    QVERIFY(!QFile::exists(store.filePath()));
}

void TestSettingsStore::storedTextWinsOverTheDefault_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("cleared input") << QString();
    QTest::newRow("not a number") << u"abc"_s;
    QTest::newRow("blanks kept") << u"  12 "_s;
    QTest::newRow("list separator") << u"1,5"_s;
    QTest::newRow("date with time") << u"3/1/2024 10:30:00 AM"_s;
}

void TestSettingsStore::storedTextWinsOverTheDefault() {
    QFETCH(QString, text);
    {
        SettingsStore store;
        store.write(u"Text1"_s, text);
    }
    const SettingsStore next;
    QCOMPARE(next.read(u"Text1"_s, 100000), text);
}

void TestSettingsStore::eachWriteIsOnDiskAtOnce() {
    QVERIFY(m_work.isValid());
    const QString path = m_work.filePath(u"typed.ini"_s);
    SettingsStore store(path);
    for (const QString& text : {u"2"_s, u"25"_s, u"250"_s, u"2500"_s}) {
        store.write(u"Text1"_s, text);
        // A fresh reader of the same file sees each keystroke while the store still lives.
        QSettings reader(path, QSettings::IniFormat);
        QCOMPARE(reader.value(u"Ravenmoor/Text1"_s).toString(), text);
    }
    QCOMPARE(SettingsStore(path).read(u"Text1"_s, 100000), u"2500"_s);
}

void TestSettingsStore::failingWriteIsReportedOnce() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A plain file where the store's folder should be: not even root can write below it.
    const QString blocker = dir.filePath(u"config"_s);
    writeFile(blocker, "not a folder");
    const QString path = blocker + u"/Kestrelor.ini"_s;

    QStringList messages;
    SettingsStore store(path);
    store.setWriteFailureNotifier([&](const QString& message) { messages << message; });
    store.write(u"Text1"_s, u"2"_s);
    store.write(u"Text1"_s, u"25"_s);
    store.write(u"Text2"_s, u"12"_s);

    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages[0].contains(path), qPrintable(messages[0]));
    QVERIFY2(!messages[0].endsWith(u"()."_s), qPrintable(messages[0]));
    QVERIFY(!QFileInfo(path).exists());
}

void TestSettingsStore::corruptFileReadsAsMissing_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("text2");
    QTest::addColumn<bool>("repaired");

    QByteArray garbage;
    for (int i = 0; i < 512; ++i) {
        garbage.append(char((i * 151 + 7) % 256));
    }
    QTest::newRow("binary garbage") << garbage << u"12"_s << true;
    QTest::newRow("list value") << QByteArray("[Ravenmoor]\nText1=1, 2, 3\nText2=24\n") << u"24"_s
                                << true;
    QTest::newRow("byte array value")
        << QByteArray("[Ravenmoor]\nText1=@ByteArray(100)\nText2=24\n") << u"24"_s << true;
    QTest::newRow("variant value")
        << QByteArray("[Ravenmoor]\nText1=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\nText2=24\n")
        << u"24"_s << true;
}

void TestSettingsStore::corruptFileReadsAsMissing() {
    QFETCH(QByteArray, content);
    QFETCH(QString, text2);
    QVERIFY(m_work.isValid());
    const QString path = m_work.filePath(u"corrupt.ini"_s);
    writeFile(path, content);

    SettingsStore store(path);
    const QString text1 = store.read(u"Text1"_s, 100000);
    QVERIFY2(text1 == u"100000"_s || !content.contains("Text1"), qPrintable(text1));
    QCOMPARE(store.read(u"Text2"_s, 12), text2);

    // Typing still works. A key of the wrong kind is replaced; a file Qt cannot read at all is
    // left alone and the user told once.
    QFETCH(bool, repaired);
    QStringList messages;
    store.setWriteFailureNotifier([&](const QString& message) { messages << message; });
    store.write(u"Text1"_s, u"7"_s);
    store.write(u"Text1"_s, u"75"_s);
    if (repaired) {
        QVERIFY(messages.isEmpty());
        QCOMPARE(SettingsStore(path).read(u"Text1"_s, 100000), u"75"_s);
        QCOMPARE(SettingsStore(path).read(u"Text2"_s, 12), text2);
    } else {
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(path) && messages[0].contains(u"damaged"_s),
                 qPrintable(messages[0]));
    }
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
