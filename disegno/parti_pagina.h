// The pieces of the route page, each drawn from the model and its scene.
// Only pagina.cpp puts them together.
#pragma once

#include <string>
#include <string_view>

#include "disegno/pagina.h"
#include "disegno/scena.h"
#include "model/modello.h"

namespace compattatore {

// The plan as an <svg id="pianta">, or a note when there is no track.
std::string svg_pianta(const modello& m, const scena& s);

// The profile as an <svg id="profilo">, or a note when there is no grid.
std::string svg_profilo(const modello& m, const scena& s);

// What the pointer readout needs, as JSON that is safe inside a <script>
// element of an HTML or an XML page.
std::string dati_lettura(const modello& m, const scena& s, const provenienza_celle& provenienza);

// The style sheet and the script, kept in pagina.css and pagina.js and built
// into the program.
extern const std::string_view stile_pagina;
extern const std::string_view script_pagina;

}  // namespace compattatore
