// A small valid scenario for the tests: 10 km, two stations, two signals, one
// curve. Its cells: signals at 32 and 55, station stops at 9 and 185.
#pragma once

#include <string>

namespace compattatore::prove {

inline const std::string linea_valida =
    "[generale]\r\n"
    "lunghezza percorso,    10000\r\n"
    "progressiva chilometrica uno,    1000,    0,    0\r\n"
    "progressiva chilometrica due,    0,    0,    0\r\n"
    "progressiva chilometrica tre,    0,    0,    0\r\n"
    "sfondo uno,    4000\r\n"
    "sfondo due,    1000\r\n"
    "sfondo tre,    1\r\n"
    "ripetizione segnali 4 codici,    1000,    9500\r\n"
    "[curve]\r\n"
    "curvad5,  1850,  300\r\n"
    "[pendenze]\r\n"
    "pendenza,  0,   0\r\n"
    "pendenza,  1900,   15\r\n"
    "[fine]\r\n";

inline const std::string servizio_valido =
    ".\r\n"
    "[generale]\r\n"
    "numero vetture,    11\r\n"
    "percentuale massa frenata,    75\r\n"
    "sabbia,    300\r\n"
    "orologio,    0               54            0 \r\n"
    "[aderenze]\r\n"
    "aderenza,       0,   110\r\n"
    "[vel_limite]\r\n"
    "velocita,       0,    75\r\n"
    "[stazioni]\r\n"
    "stazione,       0,  4, 1000,  0, 1, 0,  1,1,0,  4,1,1,    1,   0,55, 0, PRIMA\r\n"
    "stazione,    9000,  4,  600,  0, 0, 0,  1,1,0,  4,1,1,    1,   1,5, 0, SECONDA\r\n"
    "[segnali]\r\n"
    "segnale,    1550,   1, 4, 0,  0, 0,    1,  3,0,0, 0\r\n"
    "segnale,    2700,   2, 4, 0,  0, 0,    2,  2,0,0, 0\r\n"
    "[fine]\r\n";

}  // namespace compattatore::prove
