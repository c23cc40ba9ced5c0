#pragma once

#include <QObject>
#include <QString>

// A hidden label that carries an entry index as text: either its own design
// text ("iiCheck", "nextRL"), meaning no index, or the decimal text of one.
class IndexLabel : public QObject {
    Q_OBJECT
public:
    explicit IndexLabel(const QString &designText, QObject *parent = nullptr);

    const QString &text() const { return m_text; }
    void setText(const QString &text);
    const QString &designText() const { return m_design; }

    bool holdsIndex() const { return m_text != m_design; }
    // The standard text-to-integer conversion; raises the conversion error on
    // a text that is not an integer (the design text included).
    qint32 toInt() const;
    // What the settings writers store: the index, or 0 for the design text.
    qint32 savedIndex() const { return holdsIndex() ? toInt() : 0; }

    void setIndex(qint32 index) { setText(QString::number(index)); }
    void reset() { setText(m_design); }

signals:
    void textChanged(const QString &text);

private:
    QString m_design;
    QString m_text;
};

// The standard text-to-integer conversion: "'x' is not a valid integer value"
// for anything that is not one.
qint32 StrToInt(const QString &text);
