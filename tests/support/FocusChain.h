#pragma once

class QWidget;

namespace zrv::test {

// The next control the Tab key reaches after w (its own parts skipped).
QWidget* NextTabStop(QWidget* w);

} // namespace zrv::test
