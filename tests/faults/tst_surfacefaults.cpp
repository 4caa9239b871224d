// Faults a hostile user found on the statement reader, the reconciler, the command line and the
// file writers: one row per case, the outcome as a short text.
#include "cli/Commands.h"
#include "documents/Chart.h"
#include "documents/TableFiles.h"
#include "output/TableSource.h"
#include "planner/TrueCost.h"
#include "solver/Reconcile.h"
#include "solver/StatementFile.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/mount.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

using Outcome = QString (*)(const QString& input);

// 1000.00 at 12 % over 2 months from 2025-12-08: 507.51 on 2026-01-08 and 2026-02-08.
planner::PlanInput twoMonths() {
    planner::PlanInput loan;
    loan.principal = 100'000;
    loan.months = 2;
    loan.annualPercent = 12;
    loan.startDate = QDate(2025, 12, 8);
    return loan;
}

// "roles|line|line...", cells split by ';': "matches", the first difference, or why the verdict was
// withheld.
QString reconcileOutcome(const QString& input) {
    QStringList lines = input.split(u'|');
    std::vector<solver::Role> roles;
    for (const QString& name : lines.takeFirst().split(u',')) {
        roles.push_back(*solver::roleFromName(name));
    }
    const auto parsed = solver::parseStatement(lines.join(u'\n').replace(u';', u'\t'), roles);
    const auto verdict = solver::reconcile(twoMonths(), parsed.statement);
    if (verdict.matchesEveryRow) {
        return u"matches"_s;
    }
    const auto& best = verdict.results[static_cast<std::size_t>(verdict.best)];
    return best.firstDifference ? solver::describeDifference(*best.firstDifference)
                                : verdict.sentence.section(u", but "_s, 1);
}

// A file made as named; what the reader makes of it.
QString statementFileOutcome(const QString& kind) {
    QTemporaryDir dir;
    QString path = dir.filePath(u"statement.csv"_s);
    QFile file(path);
    if (kind == u"fifo"_s) {
        ::mkfifo(QFile::encodeName(path).constData(), 0600);
    } else if (kind.startsWith(u"/dev/"_s)) {
        path = kind;
    } else if (kind == u"17 MiB"_s) {
        file.open(QIODevice::WriteOnly);
        file.resize(17 * 1024 * 1024);
    } else {
        file.open(QIODevice::WriteOnly);
        const QString text = u"No;Payment;Interest\r1;507.51;10.00\r2;507.51;5.02\r"_s;
        if (kind == u"UTF-16LE"_s) {
            file.write("\xFF\xFE");
            file.write(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        } else {
            file.write(text.toUtf8());
        }
    }
    file.close();
    const solver::StatementText read = solver::readStatementFile(path);
    if (!read.error.isEmpty()) {
        return read.error.section(u": "_s, -1);
    }
    const auto parsed = solver::parseStatement(read.text);
    return u"%1 rows, %2 unreadable, %3"_s.arg(parsed.statement.rows.size())
        .arg(parsed.statement.unreadable.size())
        .arg(read.encoding);
}

// The command line's status and first message; output to /dev/full when the line starts so.
QString cliOutcome(const QString& commandLine) {
    QStringList args = commandLine.split(u' ', Qt::SkipEmptyParts);
    QBuffer buffer;
    QFile full(u"/dev/full"_s);
    QIODevice& out = args.front() == u">/dev/full"_s ? static_cast<QIODevice&>(full) : buffer;
    if (&out == &full) {
        args.removeFirst();
        full.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    } else {
        buffer.open(QIODevice::WriteOnly);
    }
    QBuffer err;
    err.open(QIODevice::WriteOnly);
    const int status = cli::run(args, {out, err});
    const QString message = QString::fromUtf8(err.data()).section(u'\n', 0, 0);
    return u"%1 %2"_s.arg(status).arg(message.section(u": "_s, 1));
}

// 250,000.00 over 360 months at 5 %, 9 % from month 13: the effective rate of the payments.
QString effectiveRateOutcome(const QString& laterPercent) {
    planner::PlanInput loan;
    loan.principal = 25'000'000;
    loan.months = 360;
    loan.annualPercent = 5;
    loan.startDate = QDate(2026, 1, 31);
    loan.events.push_back(planner::RateChange{13, laterPercent.toDouble()});
    loan.policy = planner::Policy::LowerInstalment;
    const auto plan = planner::computePlan(loan);
    const double effective = planner::trueCostOf(loan, *plan.plan).effectiveAnnualPercent;
    const auto effectiveAt = [&loan](double percent) {
        planner::PlanInput level = loan;
        level.annualPercent = percent;
        level.events.clear();
        return planner::effectiveAnnualPercent(level);
    };
    return effective > effectiveAt(5) && effective < effectiveAt(laterPercent.toDouble())
               ? u"between"_s
               : QString::number(effective, 'f', 2);
}

// 92,234 one-off extras of the largest amount in month 1: what is paid off.
QString extraSumOutcome(const QString& count) {
    planner::PlanInput loan = twoMonths();
    loan.events.assign(count.toUInt(), planner::OneOffExtra{1, planner::maxPrincipal});
    const auto plan = planner::computePlan(loan);
    return plan.plan ? u"closing %1"_s.arg(plan.plan->rows.front().closing) : plan.error;
}

// A folder on a tmpfs of 256 KiB, or none where mounting is not allowed.
class SmallDisk {
public:
    SmallDisk() {
        m_mounted = ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0,
                            "size=256k") == 0;
    }
    ~SmallDisk() {
        if (m_mounted) {
            ::umount(QFile::encodeName(m_dir.path()).constData());
        }
    }
    bool mounted() const { return m_mounted; }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

class NumberedRows final : public TableSource {
public:
    explicit NumberedRows(int rows) : m_rows(rows) {}
    QStringList headers() const override { return {u"#"_s, u"Amount"_s, u"Note"_s}; }
    int rowCount() const override { return m_rows; }
    TableCell cell(int row, int column) const override {
        return column == 0   ? TableCell::integer(row + 1)
               : column == 1 ? TableCell::cents(row * 12'345)
                             : TableCell::string(u"row %1 of a long table"_s.arg(row));
    }
    bool isTotals(int) const override { return false; }

private:
    int m_rows;
};

// "pdf|svg|png|csv|xlsx ROWS": the writer's reason on a full disk, and whether the old file
// stayed as it was.
QString fullDiskOutcome(const QString& input) {
    const SmallDisk disk;
    if (!disk.mounted()) {
        return u"skipped"_s;
    }
    const QString kind = input.section(u' ', 0, 0);
    const int rows = input.section(u' ', 1, 1).toInt();
    const QString path = disk.filePath(u"keep."_s + kind);
    QFile old(path);
    old.open(QIODevice::WriteOnly);
    old.write("old");
    old.close();
    if (!input.endsWith(u" fits"_s)) {
        // Leaves a few blocks free, so that every writer runs out of room part way.
        QFile filler(disk.filePath(u"filler"_s));
        filler.open(QIODevice::WriteOnly);
        while (filler.write(QByteArray(4096, 'x')) == 4096 && filler.flush()) {
        }
        filler.resize(filler.size() - 16 * 1024);
    }
    std::optional<QString> failure;
    if (kind == u"svg"_s || kind == u"png"_s) {
        ChartData data;
        for (int k = 0; k <= rows; ++k) {
            data.balance.push_back(rows - k);
            data.due.push_back(QDate(2026, 1, 1).addDays(k));
        }
        failure = writeChartFile(data, QSize(4000, 3000), path, QLocale::c());
    } else {
        failure = writeTableFile(*formatOfName(path), NumberedRows(rows), {u"Title"_s, {}}, path,
                                 QLocale::c());
    }
    old.open(QIODevice::ReadOnly);
    return failure.value_or(u"written"_s) + (old.readAll() == "old" ? u", old kept"_s : u""_s);
}

// Descriptors of this process into a folder, deleted files included.
int descriptorsUnder(const QString& folder) {
    int count = 0;
    const QDir fds(u"/proc/self/fd"_s);
    for (const QString& name : fds.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        const QString target = QFile::symLinkTarget(fds.filePath(name));
        count += target.startsWith(folder) ? 1 : 0;
    }
    return count;
}

// A workbook of that many rows with the temporary folder on a full disk: the reason, with
// the folder as "TMP", and any descriptor left.
QString workbookTempOutcome(const QString& rows) {
    const SmallDisk disk;
    if (!disk.mounted()) {
        return u"skipped"_s;
    }
    const QByteArray savedTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(disk.path()));
    QString error;
    for (int attempt = 0; attempt < 2; ++attempt) {
        xlsxBytes(NumberedRows(rows.toInt()), {u"Title"_s, {}}, &error);
    }
    qputenv("TMPDIR", savedTemp);
    const int kept = descriptorsUnder(disk.path());
    return error.replace(disk.path(), u"TMP"_s) + (kept ? u", %1 kept"_s.arg(kept) : u""_s);
}

}  // namespace

Q_DECLARE_METATYPE(Outcome)

class SurfaceFaultsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fault_data();
    void fault();
};

void SurfaceFaultsTest::fault_data() {
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    const QString loan = u" -p 1000 -n 2 -r 12 -s 2025-12-08"_s;
    // clang-format off
    QTest::newRow("1 PDF on a full disk") << &fullDiskOutcome << u"pdf 20000"_s << u"Disk full, old kept"_s;
    QTest::newRow("1 SVG on a full disk") << &fullDiskOutcome << u"svg 20000"_s << u"Disk full, old kept"_s;
    QTest::newRow("1 PNG on a full disk") << &fullDiskOutcome << u"png 20000"_s << u"Disk full, old kept"_s;
    QTest::newRow("1 a PDF that fits") << &fullDiskOutcome << u"pdf 10 fits"_s << u"written"_s;
    QTest::newRow("2 schedule to a full disk") << &cliOutcome << u">/dev/full schedule"_s + loan << u"1 cannot write the output: Disk full"_s;
    QTest::newRow("2 reconcile help to a full disk") << &cliOutcome << u">/dev/full reconcile --help"_s << u"1 cannot write the output: Disk full"_s;
    QTest::newRow("3 workbook with a full temporary disk") << &workbookTempOutcome << u"20000"_s << u"Disk full in TMP"_s;
    QTest::newRow("5 statement over 16 MiB") << &statementFileOutcome << u"17 MiB"_s << u"the statement holds 17.0 MiB; statements over 16.0 MiB are refused"_s;
    QTest::newRow("5 a month listed twice") << &reconcileOutcome << u"number,payment|1;507.51|1;507.51"_s << u"period 1 is listed again (first at line 1)"_s;
    QTest::newRow("5 a month twice, another missing") << &reconcileOutcome << u"number,payment|1;507.51|1;507.51|2;507.51"_s << u"period 1 is listed again (first at line 1)"_s;
    QTest::newRow("5 dates of another start") << &reconcileOutcome << u"number,date,payment|1;2026-02-28;507.51|2;2026-03-28;507.51"_s << u"the payment by -16.67 (507.51 on the statement, 524.18 computed)"_s;
    QTest::newRow("5 due dates and numbers") << &reconcileOutcome << u"number,date,payment|1;2026-01-08;507.51|2;2026-02-08;507.51"_s << u"matches"_s;
    QTest::newRow("5 an unreadable amount") << &reconcileOutcome << u"number,payment|1;507.51|2;1e999"_s << u"1 row of amounts could not be read, the first at line 2: the payment '1e999' is not an amount."_s;
    QTest::newRow("7 rate rises at month 13") << &effectiveRateOutcome << u"9"_s << u"between"_s;
    QTest::newRow("8 92,234 largest extras") << &extraSumOutcome << u"92234"_s << u"closing 0"_s;
    QTest::newRow("9 /dev/zero") << &statementFileOutcome << u"/dev/zero"_s << u"'/dev/zero' is not a regular file"_s;
    QTest::newRow("9 FIFO without a writer") << &statementFileOutcome << u"fifo"_s << u"is not a regular file"_s;
    QTest::newRow("10 CR line ends") << &statementFileOutcome << u"CR"_s << u"2 rows, 0 unreadable, UTF-8"_s;
    QTest::newRow("10 UTF-16 with a mark") << &statementFileOutcome << u"UTF-16LE"_s << u"2 rows, 0 unreadable, UTF-16LE"_s;
    QTest::newRow("12 a date that is no due date") << &reconcileOutcome << u"date,payment|2026-01-09;507.51"_s << u"the date 2026-01-09 is not a due date of this loan"_s;
    QTest::newRow("12 CSV on a full disk") << &fullDiskOutcome << u"csv 20000"_s << u"Disk full, old kept"_s;
    QTest::newRow("12 workbook on a full disk") << &fullDiskOutcome << u"xlsx 20000"_s << u"Disk full, old kept"_s;
    QTest::newRow("12 extra too large") << &cliOutcome << u"plan --extra 1:9999999999999999.99"_s + loan << u"2 --extra 1:9999999999999999.99: The amount must be at most 1000000000000.00."_s;
    QTest::newRow("6 principal of 1e17") << &cliOutcome << u"schedule -p 100000000000000000 -n 2 -r 12 -s 2025-12-08 --format csv"_s << u"2 --principal must be an amount such as 300000 or 2500.50, not '100000000000000000'"_s;
    QTest::newRow("12 reconcile from year 1") << &cliOutcome << u"reconcile -p 1000 -n 2 -r 12 -s 0001-01-01 --statement "_s + QFINDTESTDATA("tst_surfacefaults.cpp") << u"2 --start: The start date must lie in the years 100 to 9999."_s;
    QTest::newRow("12 reconcile past 9999") << &cliOutcome << u"reconcile -p 1000 -n 360 -r 12 -s 9990-01-31 --statement "_s + QFINDTESTDATA("tst_surfacefaults.cpp") << u"1 The loan cannot be computed: The plan runs past the year 9999."_s;
    // clang-format on
}

void SurfaceFaultsTest::fault() {
    QFETCH(Outcome, outcome);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    const QString actual = outcome(input);
    if (actual == u"skipped"_s) {
        QSKIP("a small tmpfs cannot be mounted here");
    }
    QVERIFY2(actual.endsWith(expected), qPrintable(actual));
}

QTEST_MAIN(SurfaceFaultsTest)
#include "tst_surfacefaults.moc"
