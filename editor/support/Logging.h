#pragma once

#include <exception>
#include <QLoggingCategory>

class EditorError;

// Failures the editor passes over without telling the user go to this
// category ("zrv.editor"), so that a terminal or the journal shows them.
Q_DECLARE_LOGGING_CATEGORY(lcEditor)

// "number (source): description" of an editor failure, for the log.
QString DescribeFailure(const EditorError& error);
// "source: description" of an editor failure, else the failure's own text.
QString DescribeFailure(const std::exception& failure);
