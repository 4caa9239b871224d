#pragma once

#include <QString>
#include <QStringView>

#include <algorithm>
#include <cstring>
#include <memory>

// Characters put together before they go into a string or a file. A cell, or a whole row,
// fits in the buffer itself; longer texts move to the heap.
class TextBuffer {
public:
    TextBuffer() = default;
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    qsizetype size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    const char16_t* constData() const { return m_data; }
    char16_t* data() { return m_data; }
    void clear() { m_size = 0; }
    void truncate(qsizetype size) { m_size = std::min(size, m_size); }

    // Makes room for count more characters at the end and returns where they go.
    char16_t* extend(qsizetype count) {
        if (m_size + count > m_capacity) {
            grow(m_size + count);
        }
        char16_t* at = m_data + m_size;
        m_size += count;
        return at;
    }
    void push_back(char16_t c) { *extend(1) = c; }
    void append(const char16_t* text, qsizetype count) {
        if (count == 0) {
            return;  // an empty view may carry no pointer at all
        }
        std::memcpy(extend(count), text, static_cast<std::size_t>(count) * sizeof(char16_t));
    }
    void append(QStringView text) {
        append(reinterpret_cast<const char16_t*>(text.utf16()), text.size());
    }

private:
    void grow(qsizetype needed) {
        const qsizetype capacity = std::max(needed, 2 * m_capacity);
        auto heap = std::make_unique<char16_t[]>(static_cast<std::size_t>(capacity));
        std::memcpy(heap.get(), m_data, static_cast<std::size_t>(m_size) * sizeof(char16_t));
        m_heap = std::move(heap);
        m_data = m_heap.get();
        m_capacity = capacity;
    }

    static constexpr qsizetype inlineCapacity = 256;
    char16_t m_inline[inlineCapacity];
    std::unique_ptr<char16_t[]> m_heap;
    char16_t* m_data = m_inline;
    qsizetype m_size = 0;
    qsizetype m_capacity = inlineCapacity;
};

inline QStringView viewOf(const TextBuffer& text) {
    return QStringView(text.constData(), text.size());
}
inline QString stringOf(const TextBuffer& text) {
    return QString(reinterpret_cast<const QChar*>(text.constData()), text.size());
}
