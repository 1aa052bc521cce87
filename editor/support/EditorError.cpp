#include "editor/support/EditorError.h"

#include <utility>

EditorError::EditorError(int32_t number, QString source, QString description)
    : m_number(number), m_source(std::move(source)), m_description(std::move(description)),
      m_what((m_source + QStringLiteral(": ") + m_description).toUtf8())
{}

const char* EditorError::what() const noexcept
{
    return m_what.constData();
}
