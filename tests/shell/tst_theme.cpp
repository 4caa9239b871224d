#include "core/Failure.h"
#include "shell/SkinFramework.h"
#include "shell/ThemeAndIdentity.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// Records the engine calls that reach it; the option and Boolean members keep their values.
class RecordingSkin final : public SkinFramework {
public:
    void LoadSkin(const QString& path, const QString& section) override {
        calls << u"load "_s + path + u"|"_s + section;
        if (refuse) {
            throw Failure::platform(PlatformFailure::InvalidCall);
        }
        SkinFramework::LoadSkin(path, section);
    }
    void ApplyWindow(QWidget& window) override {
        calls << u"apply "_s + window.objectName();
        SkinFramework::ApplyWindow(window);
    }
    QStringList calls;
    bool refuse = false;
};

const QColor white(255, 255, 255);
const QColor buttonFace(0xd4, 0xd0, 0xc8);
const QColor buttonText(0x20, 0x10, 0x00);
const QColor windowText(0x00, 0x00, 0x00);

// The main window in its design look: white window, frame and labels.
struct Window {
    Window() {
        window.setObjectName(u"Form1"_s);
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, white);
        palette.setColor(QPalette::Button, buttonFace);
        palette.setColor(QPalette::ButtonText, buttonText);
        palette.setColor(QPalette::WindowText, windowText);
        window.setPalette(palette);
        frame = new QGroupBox(&window);
        label = new QLabel(frame);
        text = new QLineEdit(&window);
    }
    QWidget window;
    QGroupBox* frame;
    QLabel* label;
    QLineEdit* text;
};

void makeFile(const QString& path, const QByteArray& content = "QLabel { color: navy; }") {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

}  // namespace

class TestTheme : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void skinFileDecidesTheLook_data();
    void skinFileDecidesTheLook();
    void optionFlagsGainBitZero_data();
    void optionFlagsGainBitZero();
    void refusedSkinKeepsTheColours();
    void unreadableSkinFailsTheLoad();
    void fileExists_data();
    void fileExists();
    void titleCutting_data();
    void titleCutting();
    void programFolderHoldsTheExecutable();
};

void TestTheme::skinFileDecidesTheLook_data() {
    QTest::addColumn<QString>("layout");
    QTest::addColumn<bool>("skinned");
    QTest::newRow("no skin file") << u"none"_s << false;
    QTest::newRow("skin file") << u"file"_s << true;
    QTest::newRow("folder named o.cjs") << u"folder"_s << false;
    QTest::newRow("link to a hidden file") << u"hidden"_s << false;
    QTest::newRow("link to a visible file") << u"link"_s << true;
}

void TestTheme::skinFileDecidesTheLook() {
    QFETCH(QString, layout);
    QFETCH(bool, skinned);
    QTemporaryDir program;
    QVERIFY(program.isValid());
    const QString skin = program.filePath(u"x/o.cjs"_s);
    if (layout == u"file"_s) {
        makeFile(skin);
    } else if (layout == u"folder"_s) {
        QVERIFY(QDir().mkpath(skin));
    } else if (layout == u"hidden"_s || layout == u"link"_s) {
        const QString target = program.filePath(layout == u"hidden"_s ? u"x/.skin"_s : u"x/skin"_s);
        makeFile(target);
        QVERIFY(QFile::link(target, skin));
    }

    Window w;
    RecordingSkin engine;
    ApplyVisualTheme(w.window, engine, program.path());

    const QColor expected = skinned ? buttonFace : white;
    QCOMPARE(w.window.palette().color(QPalette::Window), expected);
    QCOMPARE(w.frame->palette().color(QPalette::Window), expected);
    QCOMPARE(w.label->palette().color(QPalette::Window), expected);
    QCOMPARE(w.label->autoFillBackground(), skinned);
    // A forced background brings its matching text colour.
    QCOMPARE(w.label->palette().color(QPalette::WindowText), skinned ? buttonText : windowText);
    // Text boxes keep their own colours.
    QVERIFY(!w.text->autoFillBackground());
    QCOMPARE(w.text->palette().color(QPalette::Base), w.window.palette().color(QPalette::Base));

    if (skinned) {
        QCOMPARE(engine.calls, (QStringList{u"load "_s + skin + u"|"_s, u"apply Form1"_s}));
        QCOMPARE(engine.ApplyOptions(), 1);
        QVERIFY(engine.applyToChildren());
        QVERIFY(engine.applyToDialogs());
        QCOMPARE(w.window.styleSheet(), u"QLabel { color: navy; }"_s);
    } else {
        QVERIFY(engine.calls.isEmpty());
        QCOMPARE(engine.ApplyOptions(), 0);
        QVERIFY(!engine.applyToChildren());
        QVERIFY(w.window.styleSheet().isEmpty());
    }
}

void TestTheme::optionFlagsGainBitZero_data() {
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::newRow("none") << 0 << 1;
    QTest::newRow("bit 0 already set") << 1 << 1;
    QTest::newRow("other bits kept") << 6 << 7;
    QTest::newRow("all bits") << -1 << -1;
    QTest::newRow("high bit") << int(0x80000000u) << int(0x80000001u);
}

void TestTheme::optionFlagsGainBitZero() {
    QFETCH(int, before);
    QFETCH(int, after);
    QTemporaryDir program;
    makeFile(program.filePath(u"x/o.cjs"_s));
    Window w;
    RecordingSkin engine;
    engine.setApplyOptions(before);
    ApplyVisualTheme(w.window, engine, program.path());
    QCOMPARE(engine.ApplyOptions(), after);
}

void TestTheme::refusedSkinKeepsTheColours() {
    QTemporaryDir program;
    makeFile(program.filePath(u"x/o.cjs"_s));
    Window w;
    RecordingSkin engine;
    engine.refuse = true;
    QVERIFY_THROWS_EXCEPTION(Failure, ApplyVisualTheme(w.window, engine, program.path()));
    QCOMPARE(w.label->palette().color(QPalette::Window), buttonFace);
    QCOMPARE(engine.calls.size(), 1);
    QCOMPARE(engine.ApplyOptions(), 0);
    QVERIFY(w.window.styleSheet().isEmpty());
}

void TestTheme::unreadableSkinFailsTheLoad() {
    QTemporaryDir program;
    SkinFramework engine;
    try {
        engine.LoadSkin(program.filePath(u"missing.cjs"_s), QString());
        QFAIL("a missing skin was loaded");
    } catch (const Failure& failure) {
        QCOMPARE(failure.description(), u"File not found"_s);
    }
    QVERIFY(engine.styleSheet().isEmpty());
}

void TestTheme::fileExists_data() {
    QTest::addColumn<QString>("relative");
    QTest::addColumn<bool>("exists");
    QTest::newRow("file") << u"HAND-M.CUR"_s << true;
    QTest::newRow("folder") << u"x"_s << true;
    QTest::newRow("missing") << u"nothing.cur"_s << false;
    QTest::newRow("below a file") << u"HAND-M.CUR/inside"_s << false;
    QTest::newRow("empty path") << QString() << false;
}

void TestTheme::fileExists() {
    QFETCH(QString, relative);
    QFETCH(bool, exists);
    QTemporaryDir program;
    makeFile(program.filePath(u"HAND-M.CUR"_s), "cursor");
    QVERIFY(QDir(program.path()).mkdir(u"x"_s));
    const QString path = relative.isEmpty() ? QString() : program.filePath(relative);
    QCOMPARE(FileExists(path), exists);
}

void TestTheme::titleCutting_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one word kept whole") << u"Ravenmoor"_s << u"Ravenmoor"_s;
    QTest::newRow("two words") << u"Ravenmoor Loans"_s << u"Ravenmoor"_s;
    QTest::newRow("three short words") << u"Loan EMI Calculator"_s << u"Loan EMI"_s;
    QTest::newRow("exactly 40 characters") << u"Ravenmoor Loan Instalment Calculator 202"_s
                                           << u"Ravenmoor Loan Instalment Calculator"_s;
    QTest::newRow("longer than 40")
        << u"Ravenmoor Loan Instalment Calculator for Monthly Payments"_s
        << u"Ravenmoor Loan Instalment Calculator for"_s;
    QTest::newRow("long words") << u"Aaaaaaaaaaaaaaaaaaaaaaaaa Bbbbbbbbbbbbbbbbbbbbbbbbb Cc"_s
                                << u"Aaaaaaaaaaaaaaaaaaaaaaaaa"_s;
    QTest::newRow("trailing blank") << u"Ravenmoor Loans "_s << u"Ravenmoor Loans"_s;
    QTest::newRow("one word over 40") << u"Ravenmoorloaninstalmentcalculatorformonthlypayments"_s
                                      << u"Ravenmoorloaninstalmentcalculatorformont"_s;
}

void TestTheme::titleCutting() {
    QFETCH(QString, title);
    QFETCH(QString, expected);
    const QString cut = cutAppTitle(title);
    QCOMPARE(cut, expected);
    QVERIFY(cut.size() <= 40);
}

void TestTheme::programFolderHoldsTheExecutable() {
    const QString folder = programFolder();
    QCOMPARE(folder, QFileInfo(QCoreApplication::applicationFilePath()).canonicalPath());
    QVERIFY(QFileInfo(folder).isDir());
}

QTEST_MAIN(TestTheme)
#include "tst_theme.moc"
