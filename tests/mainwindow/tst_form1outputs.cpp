#include "core/MessageBoxes.h"
#include "mainwindow/Form1.h"
#include "mainwindow/SaveDialog.h"
#include "mainwindow/ScheduleGridModel.h"
#include "output/CopyText.h"
#include "output/Report.h"
#include "shell/SettingsStore.h"
#include "support/WindowTest.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Calls act with the modal widget of type T as soon as one is up.
template <class T>
void whenModal(std::function<void(T*)> act) {
    QTimer::singleShot(20, qApp, [act] {
        if (auto* widget = qobject_cast<T*>(QApplication::activeModalWidget())) {
            act(widget);
        } else {
            whenModal<T>(act);
        }
    });
}

}  // namespace

class Form1OutputsTest : public WindowTest {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void cancelWritesNothing();
    void savesTheGridAfterCalculate();
    void saveKeepsTheGridOfItsStart_data();
    void saveKeepsTheGridOfItsStart();
    void clearEmptiesTheGridOnly();
    void copyPutsTheCheckedRowsOnTheClipboard();
    void saveDialog_data();
    void saveDialog();
    void overwriteAsksFirst_data();
    void overwriteAsksFirst();

private:
    void calculate();
};

void Form1OutputsTest::init() {
    startWindowTest();
    openWindow();
}

void Form1OutputsTest::cleanup() {
    QVERIFY2(finishWindowTest(), "a modal window stayed open");
}

void Form1OutputsTest::calculate() {
    m_window->Text1->setText(u"100000"_s);
    m_window->Text2->setText(u"12"_s);
    m_window->Text3->setText(u"11"_s);
    m_window->PushButton1_Click();
    QCOMPARE(m_window->gridModel().rowCount(), 13);
}

void Form1OutputsTest::cancelWritesNothing() {
    calculate();
    const QString first = m_dir->filePath(u"first.txt"_s);
    QStringList offered;
    QString answer = first;
    m_window->setSaveFileChooser([&](QWidget*, const QString& lastName) {
        offered.append(lastName);
        return answer;
    });
    m_window->PushButton9_Click();
    const QByteArray saved = readAll(first);

    answer.clear();  // cancelled, after an earlier save chose a file
    m_window->PushButton1_Click();
    m_window->PushButton9_Click();

    QCOMPARE(offered, (QStringList{QString(), first}));
    QCOMPARE(readAll(first), saved);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{u"first.txt"_s});
    QCOMPARE(m_window->MousePointer(), Form1::pointerDefault);
    QCOMPARE(m_boxes->shown.size(), 0);
}

void Form1OutputsTest::savesTheGridAfterCalculate() {
    calculate();
    const QString path = m_dir->filePath(u"schedule"_s);
    m_window->setSaveFileChooser([&](QWidget*, const QString&) { return path; });
    m_window->PushButton9_Click();

    const QByteArray bytes = readAll(path);
    QCOMPARE(bytes, buildReportBytes(*m_window->gridModel().snapshot()));
    const QList<QByteArray> lines = bytes.split('\n');
    QCOMPARE(lines.size(), 15);  // header, 13 rows, nothing after the last CR LF
    QVERIFY(lines.first().startsWith("# \tDate"));
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        QVERIFY(lines[i].endsWith("\t\r"));
        QCOMPARE(lines[i].count('\t'), 6);
        QCOMPARE(lines[i].size(), lines.first().size());
    }
    QCOMPARE(m_window->MousePointer(), Form1::pointerDefault);
    QCOMPARE(m_boxes->shown.size(), 0);
}

void Form1OutputsTest::saveKeepsTheGridOfItsStart_data() {
    QTest::addColumn<bool>("recalculate");
    QTest::newRow("Calculate meanwhile") << true;
    QTest::newRow("Clear meanwhile") << false;
}

void Form1OutputsTest::saveKeepsTheGridOfItsStart() {
    QFETCH(bool, recalculate);
    calculate();
    const GridSnapshot before = m_window->gridModel().snapshot();
    const QString path = m_dir->filePath(u"schedule.txt"_s);
    m_window->setSaveFileChooser([&](QWidget*, const QString&) {
        if (recalculate) {
            m_window->Text2->setText(u"6"_s);
            m_window->PushButton1_Click();
        } else {
            m_window->PushButton10_Click();
        }
        return path;
    });
    m_window->PushButton9_Click();
    QCOMPARE(m_window->gridModel().rowCount(), recalculate ? 7 : 0);
    QCOMPARE(readAll(path), buildReportBytes(*before));
    QCOMPARE(m_boxes->shown.size(), 0);
}

void Form1OutputsTest::clearEmptiesTheGridOnly() {
    calculate();
    const QString emi = m_window->Label2->text();
    const QString endDate = m_window->Label3->text();

    m_window->PushButton10_Click();
    QCOMPARE(m_window->gridModel().rowCount(), 0);
    QCOMPARE(m_window->gridModel().columnCount(), 6);
    QCOMPARE(m_window->Label2->text(), emi);
    QCOMPARE(m_window->Label3->text(), endDate);
    QCOMPARE(m_window->Text1->text(), u"100000"_s);

    m_window->PushButton10_Click();  // on an empty grid: nothing, no box
    QApplication::clipboard()->setText(u"kept"_s);
    m_window->PushButton11_Click();  // copy after clear does nothing
    QCOMPARE(QApplication::clipboard()->text(), u"kept"_s);
    QCOMPARE(m_boxes->shown.size(), 0);
}

void Form1OutputsTest::copyPutsTheCheckedRowsOnTheClipboard() {
    calculate();
    m_window->PushButton11_Click();
    const QString text = QApplication::clipboard()->text();
    QCOMPARE(text, buildCopyText(*m_window->gridModel().snapshot()));
    QCOMPARE(text.count(u"\r\n"_s), 13);
    QVERIFY(!text.contains(u"Opening Bal."_s));
}

void Form1OutputsTest::saveDialog_data() {
    QTest::addColumn<QString>("last");     // below the temporary folder; empty: nothing chosen yet
    QTest::addColumn<bool>("lastFolder");  // opens there, else in the documents folder or home
    QTest::newRow("first time") << QString() << false;
    QTest::newRow("folder last used") << u"last.txt"_s << true;
    QTest::newRow("folder gone since") << u"gone/last.txt"_s << false;
}

void Form1OutputsTest::saveDialog() {
    QFETCH(QString, last);
    QFETCH(bool, lastFolder);
    const QString lastName = last.isEmpty() ? QString() : m_dir->filePath(last);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString folder = lastFolder                 ? m_dir->path()
                           : QDir(documents).exists() ? documents
                                                      : QDir::homePath();
    bool seen = false;
    whenModal<QFileDialog>([&](QFileDialog* dialog) {
        seen = true;
        QCOMPARE(dialog->windowTitle(), u"Save"_s);
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(dialog->nameFilters(),
                 (QStringList{u"Text Files (*.txt)"_s, u"All Files (*.*)"_s}));
        QCOMPARE(dialog->selectedNameFilter(), u"Text Files (*.txt)"_s);
        QCOMPARE(dialog->defaultSuffix(), QString());
        QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
        QCOMPARE(dialog->directory().absolutePath(), QDir(folder).absolutePath());
        if (!lastName.isEmpty()) {
            QCOMPARE(dialog->selectedFiles().value(0), QDir(folder).filePath(u"last.txt"_s));
        }
        // Long file names show whole in the name column.
        const auto* details = dialog->findChild<QTreeView*>(u"treeView"_s);
        QVERIFY(details != nullptr);
        QVERIFY(details->header()->sectionSize(0) >=
                details->fontMetrics().horizontalAdvance(QString(40, u'W')) / 2);
        dialog->reject();
    });
    QCOMPARE(showSaveDialog(m_window.get(), lastName), QString());
    QVERIFY(seen);
}

void Form1OutputsTest::overwriteAsksFirst_data() {
    QTest::addColumn<bool>("replace");
    QTest::newRow("answered no: the file stays") << false;
    QTest::newRow("answered yes: the file is replaced") << true;
}

void Form1OutputsTest::overwriteAsksFirst() {
    QFETCH(bool, replace);
    calculate();
    const QString path = m_dir->filePath(u"existing.txt"_s);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("someone's letter\r\n");
    }
    m_window->setSaveFileChooser(&showSaveDialog);

    bool asked = false;
    whenModal<QFileDialog>([&](QFileDialog* dialog) {
        // Typed as the user would; selectFile() on another folder loads that folder later.
        auto* name = dialog->findChild<QLineEdit*>(u"fileNameEdit"_s);
        QVERIFY(name != nullptr);
        name->setText(path);
        whenModal<QMessageBox>([&, dialog](QMessageBox* question) {
            asked = question->text().contains(u"already exists"_s);
            question->button(replace ? QMessageBox::Yes : QMessageBox::No)->click();
            if (!replace) {
                // Still choosing: give up.
                QTimer::singleShot(0, dialog, &QFileDialog::reject);
            }
        });
        static_cast<QDialog*>(dialog)->accept();  // accept() is protected in QFileDialog
    });
    m_window->PushButton9_Click();

    QVERIFY(asked);
    if (replace) {
        QCOMPARE(readAll(path), buildReportBytes(*m_window->gridModel().snapshot()));
    } else {
        QCOMPARE(readAll(path), "someone's letter\r\n"_ba);
    }
    QCOMPARE(m_boxes->shown.size(), 0);
}

QTEST_MAIN(Form1OutputsTest)
#include "tst_form1outputs.moc"
