#include "model/nomi_file.h"

#include <algorithm>

namespace compattatore {

namespace {

std::string di_treno(const std::string& linea, const std::string& treno) {
  return linea + "_" + treno;
}

}  // namespace

std::string nome_sorgente_linea(const std::string& linea) {
  return linea + "_linea.txt";
}

std::string nome_sorgente_servizio(const std::string& linea, const std::string& treno) {
  return di_treno(linea, treno) + "-.txt";
}

std::string nome_note(const std::string& linea, const std::string& treno) {
  return di_treno(linea, treno) + "_note.txt";
}

std::string nome_rallentamenti(const std::string& linea, const std::string& treno) {
  return di_treno(linea, treno) + "_rallentamenti.txt";
}

std::string nome_scheda(const std::string& linea, const std::string& treno) {
  return di_treno(linea, treno) + "_scheda_treno.txt";
}

std::string nome_file_tracciato(const std::string& linea) {
  return linea + "_linea.dat";
}

std::string nome_file_tabella(const std::string& linea, const std::string& treno) {
  return di_treno(linea, treno) + ".sim";
}

std::string nome_file_celle(const std::string& linea, const std::string& treno) {
  return di_treno(linea, treno) + ".dat";
}

std::string nome_pagina(const std::string& linea, const std::string& treno) {
  return di_treno(linea, treno) + ".html";
}

bool treno_come_tracciato(const std::string& treno) {
  constexpr std::string_view parola = "linea";
  return std::equal(treno.begin(), treno.end(), parola.begin(), parola.end(), [](char a, char b) {
    return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
  });
}

}  // namespace compattatore
