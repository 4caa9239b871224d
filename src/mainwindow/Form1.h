#pragma once

#include "output/GridData.h"
#include "windows/TableSaveDialog.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ChartWindow;
class CompareWindow;
class Ghost;
class QAction;
class QMenuBar;
class QCursor;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;
class QKeyEvent;
class QUrl;
class PlannerDialog;
class ReconcileDialog;
class SolveDialog;
class MessageBoxes;
class SettingsStore;
class Spreadsheet;
class ScheduleGridModel;
class SummaryWindow;
struct ScheduleValues;
class clsLoanCalculator;

// The main window. Form1, its controls and its handlers keep the program's historic names.
class Form1 final : public QWidget {
    Q_OBJECT
public:
    // Pointer states of the window.
    static constexpr int pointerDefault = 0;
    static constexpr int pointerBusy = 11;
    static constexpr int pointerCustom = 99;

    // The project's web site, visited now and then at start-up.
    static constexpr char16_t webSiteAddress[] = u"https://ravenmoor.example/";

    explicit Form1(std::unique_ptr<SettingsStore> store, QWidget* parent = nullptr);
    ~Form1() override;

    // The load sequence; run once before the window is shown.
    void Form_Load();

    // Command handlers.
    void PushButton1_Click();   // Calculate EMI
    void PushButton9_Click();   // Save Results As Text File
    void PushButton13_Click();  // Save Results As Excel File
    void PushButton11_Click();  // Copy Results To Clipboard
    void PushButton10_Click();  // Clear Results
    bool SaveResultsAsExcelFileIsExcelInstalled();

    // Commands of the menu bar beside the buttons' own.
    void saveAs();  // CSV, workbook or PDF of the ticked rows
    void printPreview();
    void printSchedule();
    void copyWithHeaders();
    void tickAll(bool ticked);
    void showYearlySummary();
    void showChart();
    void showKeyboardShortcuts();
    void showAbout();

    // The grid's schedule as values with the grid's tick states; nothing while the grid is empty.
    std::optional<ScheduleValues> gridValues() const;

    QMenuBar* menuBar() const { return m_menuBar; }
    // The area below the menu bar that holds every control, 1064 x 259 pixels.
    QWidget* clientArea() const { return m_client; }
    SummaryWindow* summaryWindow() const { return m_summaryWindow; }
    ChartWindow* chartWindow() const { return m_chartWindow; }

    // Tools "Plan Prepayments…", "Solve For…" and "Reconcile With Statement…": open the window
    // (not modal) with the current inputs. "Use these values" of Solve For writes its answer into
    // the inputs.
    PlannerDialog* openPlannerDialog();
    SolveDialog* openSolveDialog();
    ReconcileDialog* openReconcileDialog();
    CompareWindow* openCompareWindow();

    int MousePointer() const { return m_mousePointer; }
    void setMousePointer(int state);

    // Seams for tests: the boxes, the save dialog, the spreadsheet application, the web visit.
    MessageBoxes& messageBoxes() const { return *m_boxes; }
    void setMessageBoxes(std::unique_ptr<MessageBoxes> boxes);
    using SaveFileChooser = std::function<QString(QWidget* parent, const QString& lastName)>;
    void setSaveFileChooser(SaveFileChooser chooser);
    void setSpreadsheet(std::shared_ptr<Spreadsheet> spreadsheet);
    void setRandomDraw(std::function<int()> draw);  // a whole number from 1 to 100
    void setUrlOpener(std::function<void(const QUrl&)> opener);
    // Runs the modal dialogs of the menu commands (file, print, preview).
    void setDialogRunner(DialogRunner run) { m_runDialog = std::move(run); }
    // Where the optional files (skin, hand cursor) are looked for; the program's folder by default.
    void setProgramFolder(const QString& folder) { m_programFolder = folder; }
    // True once the window has been closed: the program is ending and long outputs may stop.
    bool isClosing() const { return m_closing; }

    // The window's keyboard commands, owned here so that a menu can offer the same actions.
    struct Actions {
        QAction* saveText = nullptr;      // Ctrl+S: Save Results As Text File
        QAction* exportSheet = nullptr;   // Ctrl+E: Save Results As Excel File
        QAction* copyResults = nullptr;   // Ctrl+Shift+C: Copy Results To Clipboard
        QAction* openCalendar = nullptr;  // F4, Alt+Down in the date picker
        // The grid's commands, also its context menu.
        QAction* copyRows = nullptr;    // Ctrl+C: the selected rows as Copy puts them
        QAction* toggleRows = nullptr;  // Space: each selected row's tick turns over
        QAction* tickAll = nullptr;
        QAction* untickAll = nullptr;
        QAction* tickSelected = nullptr;
        QAction* untickSelected = nullptr;
        QAction* tickYear = nullptr;  // asks for a calendar year of the due dates
    };
    const Actions& actions() const { return m_actions; }

    // The grid rows that are selected, in order.
    std::vector<int> selectedGridRows() const;
    // Ticks the instalments due in that calendar year; the other rows keep their ticks.
    void tickInstalmentsOfYear(int year);

    SettingsStore& settings() const { return *m_store; }
    ScheduleGridModel& gridModel() const { return *m_grid; }

    // Controls.
    QGroupBox* Frame1 = nullptr;
    std::array<QLabel*, 6> Label1{};
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QDateEdit* DateTimePicker1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* PushButton1 = nullptr;
    QTreeView* ListView2 = nullptr;
    QPushButton* PushButton9 = nullptr;
    QPushButton* PushButton13 = nullptr;
    QPushButton* PushButton11 = nullptr;
    QPushButton* PushButton10 = nullptr;

    // The one failure box and the dialog seam, for windows opened over this one.
    SaveFailureReporter failureReporter();
    DialogRunner dialogRunner();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void RandomlyOpenWebSite();
    void FillLoanDetails();
    void FillScheduleGrid();

    void buildControls();
    void buildMenuBar();
    void updateScheduleCommands();
    // gridValues for a command: says so in a box when the grid's amounts cannot be had in cents.
    std::optional<ScheduleValues> commandValues();
    void showSaveFailure(const QString& path, const QString& reason);
    void connectControls();
    void createActions();
    void openCalendar();
    void copySelectedRows();
    void askYearAndTick();
    void fitNumberColumn();
    bool isWindowShortcut(const QKeyEvent& key) const;
    void centreOnScreen();
    void clearResults();
    void announceResults();
    void applyPointerRule(int target);
    void showPointer();

    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<MessageBoxes> m_boxes;
    ScheduleGridModel* m_grid = nullptr;
    QMenuBar* m_menuBar = nullptr;
    QWidget* m_client = nullptr;
    std::vector<QAction*> m_scheduleActions;  // enabled only while the grid has rows
    SummaryWindow* m_summaryWindow = nullptr;
    ChartWindow* m_chartWindow = nullptr;
    QString m_lastTablePath;
    std::shared_ptr<clsLoanCalculator> objLoanCalculator;
    std::shared_ptr<Spreadsheet> m_spreadsheet;
    SaveFileChooser m_chooseSaveFile;
    QString m_lastSaveName;
    std::function<int()> m_randomDraw;
    std::function<void(const QUrl&)> m_openUrl;
    DialogRunner m_runDialog;
    int m_mousePointer = pointerDefault;
    std::unique_ptr<Ghost> m_ghost;
    std::unique_ptr<QCursor> m_handCursor;
    Actions m_actions;
    QString m_programFolder;
    bool m_restoringDate = false;
    bool m_restoringStoredText = false;
    bool m_closing = false;
};
