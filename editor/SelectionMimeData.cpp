#include "editor/SelectionMimeData.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace {
const QString kHtml = QStringLiteral("text/html");
}

SelectionMimeData::SelectionMimeData(const QString& text, const QFont& font) : m_font(font) {
    setText(text);
}

QStringList SelectionMimeData::formats() const {
    QStringList all = QMimeData::formats();
    if (!m_htmlMade)
        all.append(kHtml);
    return all;
}

bool SelectionMimeData::hasFormat(const QString& mimeType) const {
    return formats().contains(mimeType);
}

QVariant SelectionMimeData::retrieveData(const QString& mimeType, QMetaType type) const {
    // The HTML of a long selection costs far more than its text, and most
    // readers never ask for it.
    if (mimeType == kHtml && !m_htmlMade) {
        m_htmlMade = true;
        QTextDocument plain;
        plain.setDefaultFont(m_font);
        plain.setPlainText(text());
        QTextCursor all(&plain);
        all.select(QTextCursor::Document);
        const_cast<SelectionMimeData*>(this)->setHtml(QTextDocumentFragment(all).toHtml());
    }
    return QMimeData::retrieveData(mimeType, type);
}
