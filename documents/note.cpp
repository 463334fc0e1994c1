// The scenario notes, in Italian. Windows-1252: the accented letters are the
// single bytes 0xE8 and 0xE0.
#include <array>
#include <string_view>

#include "documents/documenti.h"

namespace compattatore {

namespace {

// clang-format off
constexpr std::array<std::string_view, 14 + 1> righe{
    "IL treno 58213 \xE8 un merci internazionale a lunga percorrenza che porta container allo scalo",
    "di LENTRA. Nella realt\xE0 pesa 1150 t e sale fino a PASSO VERDINA con una locomotiva di spinta",
    "in coda, sganciata in corsa; per poterlo condurre nella simulazione si \xE8 dovuto",
    "limitare la prestazione a 630 Ton.con una aderenza del 110%.",
    "I veicoli e la percentuale di massa frenata limitano la velocit\xE0 massima del treno ai 100 km/h,",
    "e i cartelli indicatori di rango A che indicano velocit\xE0 superiori per questo treno non",
    "hanno quindi valore.",
    "La bassa percentuale di massa frenata (75 %) allunga molto gli spazi di frenatura.",
    "Nella discesa da PASSO VERDINA a TRAVEGNO conviene condurre il treno a dente di sega:",
    "si lascia salire la velocit\xE0 fin quasi al limite consentito, poi",
    "si frena con circa 0,5-0,8 bar tenendosi a V-10/V-15 ",
    "Buon divertimento !",
    "",
    "scenari.quarve-lentra@example.org",
    marca_fine,
};
// clang-format on

}  // namespace

tabella_righe righe_note() {
  return righe;
}

}  // namespace compattatore
