// A text in a heap block of its own that ends where the text ends, so that
// the address sanitizer reports any read past it. With `oltre`, the block
// goes on with those bytes outside the text: chosen so that a reader looking
// one byte too far takes them for part of it, they show the fault in a plain
// build too.
#pragma once

#include <cstring>
#include <memory>
#include <string_view>

namespace compattatore::prove {

class testo_esatto {
 public:
  explicit testo_esatto(std::string_view testo, std::string_view oltre = {})
      : dati_(new char[testo.size() + oltre.size()]), dimensione_(testo.size()) {
    if (!testo.empty()) std::memcpy(dati_.get(), testo.data(), testo.size());
    if (!oltre.empty()) std::memcpy(dati_.get() + testo.size(), oltre.data(), oltre.size());
  }
  std::string_view vista() const { return {dati_.get(), dimensione_}; }

 private:
  std::unique_ptr<char[]> dati_;
  std::size_t dimensione_;
};

}  // namespace compattatore::prove
