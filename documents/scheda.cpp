// The train sheet of 58213: the places of the route in order, with their
// chainage, speeds and times. Table rows are 83 characters; the row at 61+400
// keeps one trailing blank more.
#include <array>
#include <string_view>

#include "documents/documenti.h"

namespace compattatore {

namespace {

// clang-format off
constexpr std::array<std::string_view, 51 + 1> righe{
    "",
    "",
    "  ___________________                                               ______________",
    " |                   |                    SCHEDA                   |              |",
    " |   TRENO n.58213   |                   da: QUARVE                |    V100 A    |",
    " |___________________|                    a: LENTRA                |     75 %     |",
    "                                                                   |______________|",
    "  ___________________                ___________________",
    " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       ",
    " |    MERCI/TEC      |              |      630 T        |",
    " |___________________|              |___________________|",
    "",
    "  ________________________________________________________________________________",
    " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |     Orario     | Rec |",
    " | Lim.|Marc.|          |  Rs |                            |                |     |",
    " |_____|_____|__________|_____|____________________________|________________|_____|",
    " | 75  | 70  |  0       |     | QUARVE                     |          0.55  |     |",
    " |     |     |  3+400   |     | BRESSOLA                   |      1.00      |     |",
    " | 110 | 80  |  6+350   |     | Cartello indicatore        |                |     |",
    " |     |     |  7+900   |     | VALDRASCA                  |      1.05      |     |",
    " |     |     | 12+400   |     | ORMENTE                    |      1.10      |     |",
    " | 75  | 70  | 16+400   |     | Cippo Km                   |      1.16      |     |",
    " |     |     | 18+000   |     | PASSO VERDINA              | 1.18    1.19   | 1   |",
    " | 60  | 55  | 19+500   |     | Cartello ind.vel           |                |     |",
    " |     |     | 25+000   |     | Cippo KM                   |                |     |",
    " |     |     | 26+800   |     | CASTELGRIFO                |      1.29      |     |",
    " |     |     | 30+900   |     | ROCCAFERRA                 |      1.33      |     |",
    " | 55  | 50  | 33+800   |     | Cartello indicatore        |                |     |",
    " |     |     | 35+500   |     | TRAVEGNO                   |      1.38      | 0.5 |",
    " |  90 |  80 | 36+400   |     | Cartello ind.vel           |                |     |",
    " |     |     | 37+800   |     | BIVIO TRAVEGNO             |      1.40      |     |",
    " |     |     | 42+000   |     | PIAN DI SORBA              |      1.43      |     |",
    " | 80  | 75  | 46+500   |     | CAMORENA                   |      1.47      |     |",
    " | 70  | 65  | 52+800   |     | SELLA GAVORNA              |      1.53      | 0.5 |",
    " |  65 |  60 | 57+500   |     | FONTANIVE                  |      1.58      |     |",
    " |     |     | 60+300   |     | BORGO SERVIA               |      2.02      | 1   |",
    " | 80  | 75  | 61+400   |     | cartello ind.vel           |                |     | ",
    " |     |     | 65+000   |     | Cippo KM                   |                |     |",
    " |     |     | 66+500   |     | ZERMANA                    |      2.07      |     |",
    " |     |     | 70+800   |     | S.VITTORE ALTESINO         |      2.10      |     |",
    " |     |     | 77+450   |     | CORNASCA                   |      2.16      | 0.5 |",
    " | 100 | 90  | 79+000   |     | Cartello indicatore        |                |     |",
    " |     |     | 82+500   |     | PRAVELLO                   |      2.19      |     |",
    " |     |     | 87+000   |     | MEZZOLE                    |      2.22      |     |",
    " | 100 | 95  | 88+000   |     | Cippo KM                   |                |     |",
    " |     |     | 91+500   |     | CASCINE RIVA               |      2.26      | 1   |",
    " |     |     | 95+800   |     | VILLANETTA                 |      2.30      |     |",
    " | 60  | 55  | 99+800   |     | Cartello ind.vel           |                |     |",
    " |     |     |101+000   |     | LENTRA                     |2.36            |     |",
    " |_____|_____|__________|_____|____________________________|________________|_____|",
    "",
    marca_fine,
};
// clang-format on

}  // namespace

tabella_righe righe_scheda() {
  return righe;
}

}  // namespace compattatore
