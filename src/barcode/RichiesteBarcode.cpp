#include "barcode/RichiesteBarcode.h"

namespace cartigo {

int RichiestaParametriBarcode::AllineamentoDaOpzione(int opzione)
{
    switch (opzione) {
        case 0:
            return 1;
        case 1:
            return 0;
        default:
            return 2;
    }
}

int RichiestaParametriBarcode::OpzioneDaAllineamento(int allineamento)
{
    switch (allineamento) {
        case 1:
            return 0;
        case 0:
            return 1;
        case 2:
            return 2;
        default:
            return -1;
    }
}

}  // namespace cartigo
