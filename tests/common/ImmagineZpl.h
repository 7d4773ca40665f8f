#pragma once
// The graphics of a ZPL stream as 1-bit images, for tests that print to a label printer's
// queue into a file: every graphic field (^GF) and downloaded graphic (~DG), in the order
// they come, one image each. Data may be ASCII hex with ZPL's compression (repeat counts
// G-Y and g-z, "," for the rest of a row light, "!" dark, ":" the row above again),
// :Z64: (base64 of zlib-deflated bytes) or :B64: (base64), or binary (^GFB).

#include <QByteArray>
#include <QImage>
#include <QStringList>
#include <optional>
#include <vector>

namespace cartigo::test {

// Dark dots are black (index 1 of a Format_Mono image). Nothing for data it cannot read.
std::vector<QImage> ImmaginiZpl(const QByteArray& zpl);

// The name of the independent ZPL renderer the tests use.
inline constexpr const char* kRendererZpl = "zpl-renderer-js";
// True when it is installed (by scripts/install-deps.sh, in the build's tools folder)
// and node runs it.
bool RendererZplPresente();
// Every label of `zpl` rendered by it at `dpi` (203, 300 or 600) on labels of the given
// size, as PNG files in `cartella`; nothing when it is absent or fails.
std::optional<QStringList> RenderizzaZpl(const QByteArray& zpl, double larghezzaMm, double altezzaMm, double dpi,
                                         const QString& cartella);

}  // namespace cartigo::test
