#pragma once

// Parts the editor's dialogs build and place alike, in twips.

#include "editor/support/TwipsGeometry.h"

#include <initializer_list>
#include <QFrame>
#include <QPushButton>
#include <QString>

namespace FormParts {

// A command button of a form, 1125 by 345 twips; with autoDefault Enter
// presses it while it has the focus.
inline QPushButton* Button(QWidget* form, const char* name, const QString& caption,
                           bool autoDefault)
{
    auto* button = new QPushButton(caption, form);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(autoDefault);
    button->resize(TwipsGeometry::Size(1125, 345));
    return button;
}

// The sunken rule "Line1" across a form from left to right at top.
inline QFrame* SunkenLine(QWidget* form, int left, int top, int right)
{
    auto* rule = new QFrame(form);
    rule->setObjectName(QStringLiteral("Line1"));
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    const QRect line = TwipsGeometry::Rect(left, top, right - left, 0);
    rule->setGeometry(line.x(), line.y() - 1, line.width(), 3);
    return rule;
}

// Tab moves through the controls in this order.
inline void TabChain(std::initializer_list<QWidget*> controls)
{
    QWidget* previous = nullptr;
    for (QWidget* control : controls) {
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

// The body fills the form but for the margin round it and a row of buttons
// of buttonHeight at the bottom.
inline void PlaceBody(const QWidget* form, QWidget* body, int margin, int buttonHeight)
{
    using namespace TwipsGeometry;
    Place(body, margin, margin, TwipsX(form->width()) - 2 * margin,
          TwipsY(form->height()) - 3 * margin - buttonHeight);
}

// The control in the form's bottom right corner, inside the margin.
inline void PlaceBottomRight(const QWidget* form, QWidget* control, int margin)
{
    using namespace TwipsGeometry;
    Place(control, TwipsX(form->width()) - WidthOf(control) - margin,
          TwipsY(form->height()) - HeightOf(control) - margin, WidthOf(control), HeightOf(control));
}

// The control on its neighbour's row, gap twips to its left.
inline void PlaceLeftOf(QWidget* control, const QWidget* neighbour, int gap)
{
    using namespace TwipsGeometry;
    Place(control, LeftOf(neighbour) - WidthOf(control) - gap, TopOf(neighbour), WidthOf(control),
          HeightOf(control));
}

} // namespace FormParts
