#pragma once

#include <cstdint>
#include <exception>
#include <QByteArray>
#include <QString>

// A failure raised inside the editor: a number, the routine that failed
// ("Class:Operation") and a description. It travels to the nearest caller
// that handles failures.
class EditorError final : public std::exception {
public:
    EditorError(int32_t number, QString source, QString description);

    int32_t Number() const noexcept { return m_number; }
    const QString& Source() const noexcept { return m_source; }
    const QString& Description() const noexcept { return m_description; }

    const char* what() const noexcept override;

private:
    int32_t m_number;
    QString m_source;
    QString m_description;
    QByteArray m_what;
};
