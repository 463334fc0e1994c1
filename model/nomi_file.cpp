#include "model/nomi_file.h"

#include <algorithm>

namespace compattatore {

namespace {

// The endings of the compacted files' names.
constexpr std::string_view fine_tracciato = "_linea.dat";
constexpr std::string_view fine_tabella = ".sim";
constexpr std::string_view fine_celle = ".dat";

std::string di_treno(const std::string& linea, const std::string& treno) {
  return linea + "_" + treno;
}

// Whether `testo` is `minuscolo` but for the case of its letters.
bool uguale_senza_maiuscole(std::string_view testo, std::string_view minuscolo) {
  return std::equal(testo.begin(), testo.end(), minuscolo.begin(), minuscolo.end(),
                    [](char a, char b) {
                      return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
                    });
}

bool finisce_con(std::string_view nome, std::string_view fine) {
  return nome.size() >= fine.size() &&
         uguale_senza_maiuscole(nome.substr(nome.size() - fine.size()), fine);
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
  return linea + std::string(fine_tracciato);
}

std::string nome_file_tabella(const std::string& linea, const std::string& treno) {
  return di_treno(linea, treno) + std::string(fine_tabella);
}

std::string nome_file_celle(const std::string& linea, const std::string& treno) {
  return di_treno(linea, treno) + std::string(fine_celle);
}

std::string nome_pagina(const std::string& linea, const std::string& treno) {
  return di_treno(linea, treno) + ".html";
}

bool nome_da_tracciato(std::string_view nome) {
  return finisce_con(nome, fine_tracciato);
}

bool nome_da_tabella(std::string_view nome) {
  return finisce_con(nome, fine_tabella);
}

bool nome_da_celle(std::string_view nome) {
  return finisce_con(nome, fine_celle);
}

bool treno_come_tracciato(const std::string& treno) {
  return uguale_senza_maiuscole(treno, "linea");
}

}  // namespace compattatore
