#include "solver/StatementFile.h"

#include <QFile>
#include <QLocale>
#include <QStringDecoder>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace solver {

namespace {

QString mibText(qint64 bytes) {
    return QLocale::c().toString(static_cast<double>(bytes) / (1024.0 * 1024.0), 'f', 1) +
           u" MiB"_s;
}

QString tooLarge(qint64 bytes) {
    return u"the statement holds %1; statements over %2 are refused"_s.arg(
        mibText(bytes), mibText(maxStatementBytes));
}

}  // namespace

StatementText decodeStatement(const QByteArray& bytes) {
    StatementText result;
    const QByteArrayView view(bytes);
    if (view.startsWith("\xFF\xFE") || view.startsWith("\xFE\xFF")) {
        const bool little = view.front() == '\xFF';
        QStringDecoder decoder(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                               QStringDecoder::Flag::Stateless);
        result.text = decoder(view.sliced(2));
        result.encoding = little ? u"UTF-16LE"_s : u"UTF-16BE"_s;
    } else {
        const QByteArrayView body = view.startsWith("\xEF\xBB\xBF") ? view.sliced(3) : view;
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        result.text = utf8(body);
        result.encoding = u"UTF-8"_s;
        if (utf8.hasError()) {
            result.text = QString::fromLatin1(body);
            result.encoding = u"Latin-1"_s;
        }
    }
    result.text.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    return result;
}

StatementText readStatementFile(const QString& path) {
    StatementText failed;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        failed.error = u"cannot read '%1': %2"_s.arg(path, QString::fromLocal8Bit(strerror(errno)));
        return failed;
    }
    QFile file;
    struct stat facts {};
    if (::fstat(fd, &facts) != 0 || !S_ISREG(facts.st_mode)) {
        ::close(fd);
        failed.error = u"'%1' is not a regular file"_s.arg(path);
        return failed;
    }
    if (facts.st_size > maxStatementBytes) {
        ::close(fd);
        failed.error = u"'%1': %2"_s.arg(path, tooLarge(facts.st_size));
        return failed;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        failed.error = u"cannot read '%1': %2"_s.arg(path, file.errorString());
        return failed;
    }
    // The file may have grown since it was measured.
    const QByteArray bytes = file.read(maxStatementBytes + 1);
    if (bytes.size() > maxStatementBytes) {
        failed.error = u"'%1': %2"_s.arg(path, tooLarge(std::max(file.size(), bytes.size())));
        return failed;
    }
    if (file.error() != QFileDevice::NoError) {
        failed.error = u"cannot read '%1': %2"_s.arg(path, file.errorString());
        return failed;
    }
    return decodeStatement(bytes);
}

QString statementRefusal(QStringView text) {
    if (text.size() > maxStatementBytes) {
        return u"the statement holds %1 characters; statements over %2 are refused"_s.arg(
            QLocale::c().toString(text.size()), QLocale::c().toString(maxStatementBytes));
    }
    const auto lines = text.count(u'\n') + text.count(u'\r') - text.count(u"\r\n");
    if (lines >= maxStatementLines) {
        return u"the statement has %1 lines; statements over %2 lines are refused"_s.arg(
            QLocale::c().toString(lines + 1), QLocale::c().toString(maxStatementLines));
    }
    return {};
}

QString withoutControls(QString text) {
    for (QChar& c : text) {
        const bool bidi = c.unicode() >= 0x202A && c.unicode() <= 0x202E;
        if ((c.category() == QChar::Other_Control && c != u'\n' && c != u'\t') || bidi) {
            c = QChar::ReplacementCharacter;
        }
    }
    return text;
}

}  // namespace solver
