#pragma once

#include <QString>
#include <utility>
#include <vector>

// The spreadsheet application as the editor's tests register it in their
// temporary machine hive.
namespace zrv::test::SpreadsheetServer {

// Replaces the values of HKLM\Software\Classes\.xls; no values, no key.
void SetFileClass(const std::vector<std::pair<QString, QString>>& values);

// "Excel.Application" names a class whose registered library does not load.
void RegisterBroken();
// "Excel.Application" names a class that is not registered.
void RegisterUnknownClass();
// The real libzrvsheet.so, registered through its own entry point.
void RegisterReal();

// A desktop that can show workbooks: a display and a program for the xlsx
// type in the test's XDG folders. Workbooks shown land in DocumentsFolder().
void PrepareDesktop();
QString DocumentsFolder();

} // namespace zrv::test::SpreadsheetServer
