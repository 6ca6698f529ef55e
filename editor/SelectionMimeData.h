#pragma once
#include <QFont>
#include <QMimeData>

// What a copy or a drag of a selection that runs over soft breaks offers: the
// selected text as plain text, and on request the same as HTML in the
// editor's font, as Qt's own editor data offers them.
class SelectionMimeData : public QMimeData {
public:
    SelectionMimeData(const QString& text, const QFont& font);

    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    QFont m_font;
    mutable bool m_htmlMade = false;
};
