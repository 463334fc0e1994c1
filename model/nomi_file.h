// The names of a scenario's files, built from its route name and train number.
// Every file of the system is named here and nowhere else.
#pragma once

#include <string>
#include <string_view>

namespace compattatore {

// The two sources: the line source and the service source.
std::string nome_sorgente_linea(const std::string& linea);
std::string nome_sorgente_servizio(const std::string& linea, const std::string& treno);

// The three driver documents.
std::string nome_note(const std::string& linea, const std::string& treno);
std::string nome_rallentamenti(const std::string& linea, const std::string& treno);
std::string nome_scheda(const std::string& linea, const std::string& treno);

// The three compacted files: the plotted track, the service table, the cell grid.
std::string nome_file_tracciato(const std::string& linea);
std::string nome_file_tabella(const std::string& linea, const std::string& treno);
std::string nome_file_celle(const std::string& linea, const std::string& treno);

// The route page of `disegna`.
std::string nome_pagina(const std::string& linea, const std::string& treno);

// Whether a name ends as the track file's (`_linea.dat`), the service table's
// (`.sim`) or the cell grid's (`.dat`, which the track's name ends with too);
// compared without regard to case, as Windows names are.
bool nome_da_tracciato(std::string_view nome);
bool nome_da_tabella(std::string_view nome);
bool nome_da_celle(std::string_view nome);

// Whether a train number would give the cell grid the track file's name
// (`<linea>_linea.dat`); compared without regard to case, as Windows names are.
bool treno_come_tracciato(const std::string& treno);

}  // namespace compattatore
