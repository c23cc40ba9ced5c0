#include "playlist/IndexLabel.h"

#include "app/Errors.h"
#include "persistence/ValueText.h"

IndexLabel::IndexLabel(const QString &designText, QObject *parent)
    : QObject(parent), m_design(designText), m_text(designText) {}

void IndexLabel::setText(const QString &text) {
    if (text == m_text)
        return;
    m_text = text;
    emit textChanged(m_text);
}

qint32 IndexLabel::toInt() const {
    return StrToInt(m_text);
}

qint32 StrToInt(const QString &text) {
    if (const auto v = ParseProfileInteger(text))
        return *v;
    throw AppError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}
