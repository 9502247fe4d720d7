#include "BackKeys.h"

#include "BasicVC.h"

#include <QShortcut>

void installBackKeys(BasicVC *screen) {
    if (!screen)
        return;
    for (const QKeySequence &keys :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::ALT | Qt::Key_Left)}) {
        auto *shortcut = new QShortcut(keys, screen);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        QObject::connect(shortcut, &QShortcut::activated, screen, [screen] {
            if (screen->leftBarButton())
                screen->leftBackClick();
        });
    }
}
