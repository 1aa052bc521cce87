#include "editor/shell/CFindBar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>

CFindBar::CFindBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("fraFind"));
    auto* label = new QLabel(QStringLiteral("Find:"), this);
    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setClearButtonEnabled(true);
    label->setBuddy(txtFind);
    chkFilter = new QCheckBox(QStringLiteral("Fil&ter"), this);
    chkFilter->setObjectName(QStringLiteral("chkFilter"));
    chkFilter->setChecked(true);
    chkFilter->setToolTip(QStringLiteral("List only the fortunes that hold the text"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(label);
    layout->addWidget(txtFind, 1);
    layout->addWidget(chkFilter);

    connect(txtFind, &QLineEdit::textChanged, this, &CFindBar::changed);
    connect(txtFind, &QLineEdit::returnPressed, this, &CFindBar::accepted);
    connect(chkFilter, &QCheckBox::toggled, this, &CFindBar::changed);
    // Shortcuts of a hidden widget are not heard: these work only while the
    // bar shows.
    const auto shortcut = [this](const QKeySequence& keys, auto routine) {
        auto* key = new QShortcut(keys, this);
        key->setContext(Qt::WindowShortcut);
        connect(key, &QShortcut::activated, this, routine);
    };
    shortcut(QKeySequence(Qt::Key_F3), [this] { emit stepped(true); });
    shortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { emit stepped(false); });
    shortcut(QKeySequence(Qt::Key_Escape), [this] { emit closeAsked(); });
    hide();
}

void CFindBar::Open()
{
    show();
    txtFind->setFocus(Qt::ShortcutFocusReason);
    txtFind->selectAll();
}

QString CFindBar::Text() const
{
    return txtFind->text();
}

bool CFindBar::Filter() const
{
    return chkFilter->isChecked();
}
