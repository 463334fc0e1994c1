// Freight train 58213 on Quarve-Lentra. Every station after the first, but
// the halt S.ANNA DI VERDA, is guarded by a distant signal (second number 1)
// and a home signal (2); the lone last signal guards the yard.
// The one temporary slowdown, at 75000, lies between S.VITTORE ALTESINO and
// CORNASCA, clear of the cells that the approach marking pass needs around it.
// Stations without a timetable time carry 0:00:00; the yard beyond the
// route's end carries 11:00:00, a time the train never reaches.
#include <array>
#include <string_view>

#include "sources/scenario.h"

namespace compattatore {

namespace {

// clang-format off
constexpr std::array<std::string_view, 94 + 1> righe{
    ".",
    "[generale]",
    "numero vetture,    11",
    "percentuale massa frenata,    75",
    "sabbia,    300",
    "orologio,    0               54            0 ",
    "[aderenze]",
    "aderenza,       0,   110",
    "aderenza,   18000,    90",
    "aderenza,   49500,   100",
    "[vel_limite]",
    "velocita,       0,    75",
    "velocita,    6300,   100",
    "velocita,   16350,    75",
    "velocita,   19500,    55",
    "velocita,   36400,    80",
    "velocita,   51800,    65",
    "velocita,   61400,    80",
    "velocita,   79000,   100",
    "velocita,   99800,    60",
    "velocita,  107000,    30",
    "[stazioni]",
    "stazione,       0,  4, 1000,  0, 1, 0,  1,1,0,  4,1,1,    1,   0,55, 0, QUARVE",
    "stazione,    3400,  3,  600,  0, 0, 0,  2,1,0,  2,1,1,    0,   0, 0, 0, BRESSOLA",
    "stazione,    7900, 12,  700,  0, 1, 0,  2,1,1,  2,2,1,    0,   0, 0, 0, VALDRASCA",
    "stazione,   12400,  3,  600,  0, 0, 0,  2,1,0,  2,1,1,    0,   0, 0, 0, ORMENTE",
    "stazione,   18000,  4,  800,  1, 1, 0,  4,1,1,  4,4,2,   60,   1,19, 0, PASSO VERDINA",
    "stazione,   22600,  6,  400,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, S.ANNA DI VERDA",
    "stazione,   26800, 22,  600,  0, 1, 0,  2,1,1,  2,2,1,    0,   0, 0, 0, CASTELGRIFO",
    "stazione,   30900, 12,  700,  0, 1, 0,  2,1,0,  2,1,1,    0,   0, 0, 0, ROCCAFERRA",
    "stazione,   35500,  4, 1000,  0, 1, 0,  4,1,1,  4,2,2,   30,   0, 0, 0, TRAVEGNO",
    "stazione,   37800, 25,  400,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, BIVIO TRAVEGNO",
    "stazione,   42000, 22,  700,  0, 1, 0,  2,1,1,  2,2,1,    0,   0, 0, 0, PIAN DI SORBA",
    "stazione,   46500,  3,  500,  0, 0, 0,  2,1,0,  2,1,1,    0,   0, 0, 0, CAMORENA",
    "stazione,   52800,  4,  800,  0, 1, 0,  4,1,1,  4,2,2,    0,   0, 0, 0, SELLA GAVORNA",
    "stazione,   57500,  3,  600,  0, 0, 0,  2,1,0,  2,1,1,    0,   0, 0, 0, FONTANIVE",
    "stazione,   60300, 22,  600,  0, 1, 0,  2,1,1,  2,2,1,    0,   2, 2, 0, BORGO SERVIA",
    "stazione,   66500,  3,  500,  0, 0, 0,  2,1,0,  2,1,1,    0,   0, 0, 0, ZERMANA",
    "stazione,   70800, 12,  700,  0, 1, 0,  2,1,0,  2,1,1,    0,   0, 0, 0, S.VITTORE ALTESINO",
    "stazione,   77450, 22,  700,  0, 1, 0,  2,1,1,  2,2,1,    0,   2,16, 0, CORNASCA",
    "stazione,   82500,  3,  600,  0, 0, 0,  2,1,0,  2,1,1,    0,   0, 0, 0, PRAVELLO",
    "stazione,   87000, 12,  600,  0, 1, 0,  2,1,0,  2,1,1,    0,   0, 0, 0, MEZZOLE",
    "stazione,   91500, 22,  700,  0, 1, 0,  2,1,1,  2,2,1,    0,   0, 0, 0, CASCINE RIVA",
    "stazione,   95800,  3,  500,  0, 0, 0,  2,1,0,  2,1,1,    0,   2,30, 0, VILLANETTA",
    "stazione,  101000,  4, 1000,  1, 1, 0,  4,1,1,  4,4,2,  110,   2,36, 0, LENTRA",
    "stazione,  108000, 28, 1000,  0, 0, 0,  0,0,0,  0,0,0,    0,  11, 0, 0, LENTRA SCALO",
    "[rallentamenti]",
    "rallentamento,   75000,    50,  100, 1,  0,  0",
    "[segnali]",
    "segnale,    1550,   1, 4, 0,  0, 0,    1,  3,0,0, 0",
    "segnale,    2700,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,    5900,   1, 4, 0,  0, 0,    1,  3,0,0, 0",
    "segnale,    7200,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   10300,   1, 4, 0,  0, 0,    1,  3,0,0, 0",
    "segnale,   11750,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   16000,   1, 3, 0,  0, 0,    1,  3,0,0, 0",
    "segnale,   17400,   2, 3, 1,  0, 0,    2,  2,0,0, 0",
    "segnale,   24700,   1, 4, 0,  0, 0,    1,  3,0,0, 0",
    "segnale,   26150,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   28600,   1, 4, 0,  0, 0,    1,  3,0,0, 0",
    "segnale,   30200,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   32750,   1, 4, 0,  0, 0,    1,  3,0,0, 0",
    "segnale,   34700,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   36450,   1, 4, 0,  0, 0,    1,  3,0,0, 0",
    "segnale,   37550,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   39800,   1, 4, 0,  0, 0,    1,  3,0,0, 0",
    "segnale,   41300,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   44200,   1, 4, 0,  0, 0,    1,  3,0,0, 0",
    "segnale,   45900,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   50400,   1, 4, 0,  0, 0,    1,  3,0,0, 0",
    "segnale,   52050,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   55500,   1, 4, 0,  0, 0,    1,  3,0,0, 0",
    "segnale,   56850,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   58300,   1, 4, 0,  0, 0,    1,  3,0,0, 0",
    "segnale,   59700,   2, 2, 3,  0, 1,    2,  2,1,0, 255",
    "segnale,   64300,   1, 4, 0,  0, 0,    1,  3,0,0, 0",
    "segnale,   65900,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   68500,   1, 4, 0,  0, 0,    1,  3,0,0, 0",
    "segnale,   70100,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   75500,   1, 4, 0,  0, 0,    1,  3,0,0, 0",
    "segnale,   76800,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   80300,   1, 4, 0,  0, 0,    1,  3,0,0, 0",
    "segnale,   81850,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   85000,   1, 4, 0,  0, 0,    1,  3,0,0, 0",
    "segnale,   86400,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   88900,   1, 4, 0,  0, 0,    1,  3,0,0, 0",
    "segnale,   90800,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   93300,   1, 4, 0,  0, 0,    1,  3,0,0, 0",
    "segnale,   95200,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   98100,   1, 3, 0,  0, 0,    1,  3,0,0, 0",
    "segnale,  100150,   2, 3, 1,  0, 0,    2,  2,0,0, 0",
    "segnale,  106150,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "[codici]",
    "[fine]",
    marca_fine,
};
// clang-format on

}  // namespace

tabella_righe righe_treno() {
  return righe;
}

}  // namespace compattatore
