#pragma once

#include "core/StoreFailure.h"

#include <QPushButton>

namespace tavlo {

// Connects a button to a panel's handler; a store failure escaping the handler is reported
// and ends the program, as every command's failure does.
template <typename Panel>
void connectGuarded(QPushButton *button, Panel *panel, void (Panel::*handler)(), WindowState &state,
                    const Platform &platform)
{
    QObject::connect(button, &QPushButton::clicked, panel, [=, &state, &platform] {
        runGuarded(state, platform, [=] { (panel->*handler)(); });
    });
}

} // namespace tavlo
