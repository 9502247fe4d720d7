#pragma once

#include "FrameStyle.h"

#include <memory>

#include <QString>
#include <QStringList>

class QWidget;

// The one header for the program's look: the colour and size names come with it (FrameStyle, the
// only place a colour has a name), and these put them to work. The .ui forms name their colours
// ("color: frame(title);", which Qt's style sheet parser reads without complaint before it is
// expanded); expand() turns the names into the colours of FrameStyle's table, so a colour is
// changed in one place. A name the table lacks is left as it is and reported with a warning.
namespace StyleTokens {

// The look the same under every desktop: Qt's Fusion style as the base (the desktop's own style
// would turn the program's stock widgets into its own), the program's colours on top of Fusion's
// palette, and the font that draws Chinese with Chinese glyph forms. Once, right after the
// application object is made.
void apply();

// `sheet` with every "frame(name)" replaced; the names the table lacks are added to `unknown`.
QString expand(const QString &sheet, QStringList *unknown = nullptr);

// Expands the style sheets of `root` and of every widget inside it, once, before they are shown.
void expandTree(QWidget *root);

// The program's buttons: filled in the title colour for the action a dialog is for, outlined in
// it for the others. A ring shows where the keyboard (not a click or a screen opening) put the
// focus, once markKeyboardFocus() watches the button.
QString buttonSheet(bool primary);

// Sets the "keyboardFocus" property of `widget` while it has focus that the keyboard brought, so a
// style sheet can draw a focus ring for keyboard users alone.
void markKeyboardFocus(QWidget *widget);

// A Designer form built on `host` with its colour names expanded: the first lines of every
// screen's constructor, so none of them can forget the expansion.
template <class Form, class Host> std::unique_ptr<Form> makeForm(Host *host) {
    auto form = std::make_unique<Form>();
    form->setupUi(host);
    expandTree(host);
    return form;
}

} // namespace StyleTokens
