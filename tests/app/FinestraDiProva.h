#pragma once
// The main window shown offscreen for a test: 1000 x 720, the Italian locale's numbers, the
// captions in `lingua`, active so keys and the mouse reach it; mouse helpers that go through
// the window (so a drag's mouse capture is real).
#include "app/frmCartigo.h"
#include "common/TestSupport.h"
#include "designer/PicBox.h"
#include "label/FileEtichetta.h"
#include "shell/InterazioneScriptata.h"
#include "shell/StringTable.h"

#include <QTest>

namespace cartigo::test {

struct FinestraDiProva : ::testing::Test {
    InterazioneScriptata ui;
    std::unique_ptr<frmCartigo> f;
    std::unique_ptr<LocaleTemporaneo> locale;
    Lingua lingua = Lingua::Italiano;

    void SetUp() override
    {
        AssicuraApplicazione();
        ImpostaLingua(lingua);
        f = std::make_unique<frmCartigo>(&ui);  // reads the system's locale
        locale = std::make_unique<LocaleTemporaneo>(ImpostazioniLocali::italiano());
        f->resize(1000, 720);
        f->show();
        f->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(f.get()));
        ASSERT_EQ(f->Superficie()->ScalaSchermo().x, 15) << "the tests assume 96 dpi";
    }
    void TearDown() override
    {
        f->Documento().ImpostaModificato(false);  // no question on closing
        f.reset();
        ImpostaLingua(Lingua::Italiano);
    }
    // The label opens fitted to the window; tests of positions work at 100 %.
    void CentoPerCento() { f->ImpostaZoom(1, QPoint(0, 0)); }

    DocumentoEtichetta& doc() { return f->Documento(); }
    PicBox* box() const { return f->Superficie(); }
    QByteArray file() { return FileEtichetta::DatiEtichetta(doc(), ImpostazioniLocali::correnti()); }
    // A surface point (twips) in the window's coordinates, at 100 %.
    QPoint punto(QPointF tw) const
    {
        return box()->mapTo(f.get(), QPoint(int(std::lround(tw.x() / 15)), int(std::lround(tw.y() / 15))));
    }
    void clic(QPointF tw) { QTest::mouseClick(f->windowHandle(), Qt::LeftButton, {}, punto(tw)); }
    // A drag with the keys `m` held at the press and the release.
    void trascina(QPointF da, QPointF a, Qt::KeyboardModifiers m = {})
    {
        QTest::mousePress(f->windowHandle(), Qt::LeftButton, m, punto(da));
        QTest::mouseMove(f->windowHandle(), punto((da + a) / 2));
        QTest::mouseMove(f->windowHandle(), punto(a));
        QTest::mouseRelease(f->windowHandle(), Qt::LeftButton, m, punto(a));
    }
    static QRectF cornice(const OggettoEtichetta* o) { return {o->Left, o->Top, o->Width, o->Height}; }
};

}  // namespace cartigo::test
