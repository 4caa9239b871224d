#include "documents/Workbook.h"

#include "output/WorkbookFolder.h"

#include <QFile>

#include <xlsxwriter.h>

#include <cerrno>
#include <cmath>

Workbook::Workbook(const QString& path, const QString& tmpDir, std::optional<QString> dateFormat)
    : m_tmpDir(QFile::encodeName(tmpDir)), m_dateFormat(std::move(dateFormat)) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = m_tmpDir.data();
    m_book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    if (m_book != nullptr) {
        m_sheet = workbook_add_worksheet(m_book, nullptr);
    }
}

Workbook::~Workbook() {
    if (m_book != nullptr) {
        close();
    }
}

bool Workbook::keep(int status) {
    if (m_status == LXW_NO_ERROR) {
        m_status = status;
    }
    return m_status == LXW_NO_ERROR;
}

lxw_format* Workbook::format(Style style) {
    switch (style) {
        case Style::Plain:
            return nullptr;
        case Style::Bold:
            if (m_bold == nullptr) {
                m_bold = workbook_add_format(m_book);
                format_set_bold(m_bold);
            }
            return m_bold;
        case Style::Header:
            if (m_header == nullptr) {
                m_header = workbook_add_format(m_book);
                format_set_bold(m_header);
                format_set_bottom(m_header, LXW_BORDER_THIN);
            }
            return m_header;
    }
    return nullptr;
}

lxw_format* Workbook::amountFormat(Style style) {
    lxw_format*& slot = style == Style::Plain ? m_amount : m_boldAmount;
    if (slot == nullptr) {
        slot = workbook_add_format(m_book);
        format_set_num_format(slot, "#,##0.00");
        if (style != Style::Plain) {
            format_set_bold(slot);
        }
    }
    return slot;
}

lxw_format* Workbook::dateFormat(bool withTime) {
    lxw_format*& slot = withTime ? m_dateTime : m_date;
    if (slot == nullptr) {
        slot = workbook_add_format(m_book);
        if (m_dateFormat) {
            const QString pattern =
                withTime ? *m_dateFormat + QStringLiteral(" hh:mm:ss") : *m_dateFormat;
            format_set_num_format(slot, pattern.toUtf8().constData());
        } else {
            format_set_num_format_index(slot, 14);
        }
    }
    return slot;
}

bool Workbook::text(int row, int column, const QString& value, Style style) {
    return ok() && keep(worksheet_write_string(m_sheet, static_cast<lxw_row_t>(row),
                                               static_cast<lxw_col_t>(column),
                                               value.toUtf8().constData(), format(style)));
}

bool Workbook::number(int row, int column, double value, Style style) {
    return ok() &&
           keep(worksheet_write_number(m_sheet, static_cast<lxw_row_t>(row),
                                       static_cast<lxw_col_t>(column), value, format(style)));
}

bool Workbook::amount(int row, int column, double value, Style style) {
    return ok() &&
           keep(worksheet_write_number(m_sheet, static_cast<lxw_row_t>(row),
                                       static_cast<lxw_col_t>(column), value, amountFormat(style)));
}

bool Workbook::date(int row, int column, double serial) {
    return ok() && keep(worksheet_write_number(m_sheet, static_cast<lxw_row_t>(row),
                                               static_cast<lxw_col_t>(column), serial,
                                               dateFormat(serial != std::trunc(serial))));
}

bool Workbook::blank(int row, int column, Style style) {
    return ok() && keep(worksheet_write_blank(m_sheet, static_cast<lxw_row_t>(row),
                                              static_cast<lxw_col_t>(column), format(style)));
}

bool Workbook::setWidth(int firstColumn, int lastColumn, double width) {
    return ok() && keep(worksheet_set_column(m_sheet, static_cast<lxw_col_t>(firstColumn),
                                             static_cast<lxw_col_t>(lastColumn), width, nullptr));
}

void Workbook::freezeAbove(int row) {
    if (ok()) {
        worksheet_freeze_panes(m_sheet, static_cast<lxw_row_t>(row), 0);
    }
}

std::optional<QString> Workbook::close() {
    if (m_book == nullptr) {
        return QString::fromUtf8(lxw_strerror(LXW_ERROR_CREATING_XLSX_FILE));
    }
    if (m_sheet == nullptr) {
        keep(LXW_ERROR_MEMORY_MALLOC_FAILED);
    }
    errno = 0;
    const lxw_error closed = workbook_close(m_book);
    m_errno = errno;
    m_book = nullptr;
    m_sheet = nullptr;
    keep(closed);
    if (closed != LXW_NO_ERROR) {
        // A sheet's temporary file stays open when closing fails.
        releaseDescriptorsUnder(QFile::decodeName(m_tmpDir));
    }
    if (m_status != LXW_NO_ERROR) {
        return QString::fromUtf8(lxw_strerror(static_cast<lxw_error>(m_status)));
    }
    return std::nullopt;
}
