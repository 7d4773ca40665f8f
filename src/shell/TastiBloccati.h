#pragma once
// The state of the Caps Lock and Num Lock keys, where the platform tells it (X11).

#include <optional>

namespace cartigo {

class TastiBloccati {
public:
    struct Stato {
        bool maiuscole = false;
        bool numeri = false;
    };
    // Nothing when the platform does not tell.
    static std::optional<Stato> Leggi();
};

}  // namespace cartigo
