// The platform layer on Windows. The only file that includes <windows.h>.
//
// Names and messages travel through the program as bytes of the ANSI code
// page (the texts are Windows-1252); file names become UTF-16 only at the
// system's door, always through that code page and never by a best guess.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <string>
#include <string_view>
#include <vector>

#include "app/piattaforma.h"
#include "app/piattaforma_comune.h"

namespace compattatore::piattaforma {

namespace {

// The wait window's layout, in twips as the form was designed.
constexpr int twip_per_pollice = 1440;
constexpr int larghezza_client = 4200;
constexpr int altezza_client = 2688;
constexpr int sinistra_label1 = 960;
constexpr int alto_label1 = 960;
constexpr int larghezza_label1 = 2652;
constexpr int altezza_label1 = 792;
constexpr int punti_label1 = 24;
constexpr int id_label1 = 1;
constexpr wchar_t classe_form1[] = L"Form1";

std::string motivo_sistema(DWORD codice) {
  char* testo = nullptr;
  const DWORD n = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, codice, 0, reinterpret_cast<char*>(&testo), 0, nullptr);
  std::string motivo;
  if (n != 0 && testo != nullptr) motivo.assign(testo, n);
  if (testo != nullptr) LocalFree(testo);
  while (!motivo.empty() && (motivo.back() == '\r' || motivo.back() == '\n' ||
                             motivo.back() == ' ' || motivo.back() == '.'))
    motivo.pop_back();
  if (motivo.empty()) motivo = "errore di sistema";
  return motivo + " (" + std::to_string(codice) + ")";
}

std::wstring largo(std::string_view testo, DWORD modo = 0, UINT codifica = CP_ACP) {
  if (testo.empty()) return {};
  const int n =
      MultiByteToWideChar(codifica, modo, testo.data(), static_cast<int>(testo.size()), nullptr, 0);
  std::wstring risultato(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(codifica, modo, testo.data(), static_cast<int>(testo.size()),
                      risultato.data(), n);
  return risultato;
}

// A file name the ANSI code page cannot read (only a multi-byte code page has
// invalid bytes) is refused: a replacement character would name another file.
std::wstring nome_largo(const std::string& file) {
  const std::wstring nome = largo(file, MB_ERR_INVALID_CHARS);
  if (nome.empty() && !file.empty())
    throw errore_file(file, "nome non valido nella code page del sistema");
  return nome;
}

// Refuses a name that the ANSI code page cannot hold: a best-fit or '?'
// replacement would name another file, possibly in another directory.
std::string stretto(const std::wstring& testo) {
  if (testo.empty()) return {};
  BOOL perso = FALSE;
  const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, testo.data(),
                                    static_cast<int>(testo.size()), nullptr, 0, nullptr, &perso);
  std::string risultato(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, testo.data(), static_cast<int>(testo.size()),
                      risultato.data(), n, nullptr, &perso);
  if (perso || n == 0)
    throw errore_file(risultato, "il nome contiene caratteri fuori dalla code page del sistema");
  return risultato;
}

bool separatore(char c) {
  return c == '\\' || c == '/';
}

std::wstring percorso_eseguibile() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) throw errore_file("GetModuleFileName", motivo_sistema(GetLastError()));
    if (n < buffer.size()) {
      buffer.resize(n);
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

// The name of the executable without its extension, as a message box of the
// program is titled when nobody chose a title.
std::string titolo_applicazione() {
  std::wstring nome = percorso_eseguibile();
  const std::size_t barra = nome.find_last_of(L"\\/");
  if (barra != std::wstring::npos) nome.erase(0, barra + 1);
  const std::size_t punto = nome.find_last_of(L'.');
  if (punto != std::wstring::npos && punto > 0) nome.erase(punto);
  try {
    std::string titolo = stretto(nome);
    if (!titolo.empty()) return titolo;
  } catch (const errore_file&) {
  }
  return "compattatore";
}

// Windows refuses to replace or delete a read-only file; Wine running as root
// does not, so the attribute is checked here and the program behaves the same
// on both. The user marked the file on purpose: the attribute is never cleared.
bool sola_lettura(const std::wstring& file) {
  const DWORD a = GetFileAttributesW(file.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY) != 0;
}

DWORD attributi(const std::string& file) {
  try {
    return GetFileAttributesW(nome_largo(file).c_str());
  } catch (const errore_file&) {
    return INVALID_FILE_ATTRIBUTES;
  }
}

bool valido(HANDLE h) {
  return h != nullptr && h != INVALID_HANDLE_VALUE;
}

// Raw bytes to a pipe or a file; to a console through the wide call, so that
// the text (in `codifica`) shows the same characters whatever the console's
// code page.
bool scrivi_su(DWORD quale, std::string_view testo, UINT codifica) {
  const HANDLE h = GetStdHandle(quale);
  if (!valido(h)) return false;
  if (testo.empty()) return true;
  DWORD modo = 0;
  if (GetConsoleMode(h, &modo)) {
    const std::wstring w = largo(testo, 0, codifica);
    DWORD scritti = 0;
    return WriteConsoleW(h, w.data(), static_cast<DWORD>(w.size()), &scritti, nullptr) &&
           scritti == w.size();
  }
  while (!testo.empty()) {
    DWORD scritti = 0;
    const DWORD blocco = static_cast<DWORD>(std::min<std::size_t>(testo.size(), 1u << 30));
    if (!WriteFile(h, testo.data(), blocco, &scritti, nullptr) || scritti == 0) return false;
    testo.remove_prefix(scritti);
  }
  return true;
}

// Closes a handle when it goes.
class maniglia {
 public:
  explicit maniglia(HANDLE h) : h_(h) {}
  ~maniglia() { CloseHandle(h_); }
  maniglia(const maniglia&) = delete;
  maniglia& operator=(const maniglia&) = delete;

 private:
  HANDLE h_;
};

// ---- Temporaries and the console's interruptions ---------------------------

// The temporaries that exist right now, for the console handler, which the
// system runs on a thread of its own.
struct registro_temporanei {
  CRITICAL_SECTION sezione;
  std::vector<std::wstring> vivi;
  registro_temporanei() { InitializeCriticalSection(&sezione); }
};

registro_temporanei& registro() {
  static registro_temporanei r;
  return r;
}

class sezione_temporanei {
 public:
  sezione_temporanei() { EnterCriticalSection(&registro().sezione); }
  ~sezione_temporanei() { LeaveCriticalSection(&registro().sezione); }
  sezione_temporanei(const sezione_temporanei&) = delete;
  sezione_temporanei& operator=(const sezione_temporanei&) = delete;
};

// Called inside the section.
void dimentica_temporaneo(const std::wstring& temporaneo) {
  std::vector<std::wstring>& vivi = registro().vivi;
  vivi.erase(std::remove(vivi.begin(), vivi.end(), temporaneo), vivi.end());
}

BOOL WINAPI interrompi(DWORD evento) {
  if (evento != CTRL_C_EVENT && evento != CTRL_BREAK_EVENT && evento != CTRL_CLOSE_EVENT)
    return FALSE;
  // Held to the end: the process ends inside it, so no replacement of a set
  // is ever cut in two.
  EnterCriticalSection(&registro().sezione);
  for (const std::wstring& t : registro().vivi) DeleteFileW(t.c_str());
  // The status the system's own handler gives an interrupted program.
  ExitProcess(STATUS_CONTROL_C_EXIT);
}

void installa_gestore() {
  static bool installato = false;
  if (installato) return;
  installato = true;
  registro();
  SetConsoleCtrlHandler(interrompi, TRUE);
}

// The wait window lives from mostra_attesa to chiudi_attesa.
struct finestra_attesa {
  HWND form1 = nullptr;
  HWND label1 = nullptr;
  HFONT carattere = nullptr;
};

finestra_attesa& attesa() {
  static finestra_attesa f;
  return f;
}

}  // namespace

std::string directory_programma() {
  std::wstring eseguibile = percorso_eseguibile();
  const std::size_t barra = eseguibile.find_last_of(L"\\/");
  if (barra == std::wstring::npos)
    throw errore_file(stretto(eseguibile), "percorso dell'eseguibile senza directory");
  // A root keeps its separator ("C:\"); percorso() never doubles it.
  const bool radice = barra == 0 || eseguibile[barra - 1] == L':';
  eseguibile.resize(radice ? barra + 1 : barra);
  return stretto(eseguibile);
}

std::string percorso(const std::string& directory, const std::string& nome) {
  std::size_t fine = directory.size();
  while (fine > 0 && separatore(directory[fine - 1])) --fine;
  return directory.substr(0, fine) + "\\" + nome;
}

// Every temporary is named with its directory's path as the caller gave it,
// so that all the files of a set lie in one volume and the moves are renames.
struct insieme_file::stato {
  struct pronto {
    std::string nome;
    std::wstring destinazione;
    std::wstring temporaneo;  // empty once moved or removed
  };

  std::string directory;
  std::vector<pronto> pronti;

  std::string file(const std::string& nome) const { return percorso(directory, nome); }

  void scarta() {
    const sezione_temporanei sezione;
    for (pronto& p : pronti) {
      if (p.temporaneo.empty()) continue;
      DeleteFileW(p.temporaneo.c_str());
      dimentica_temporaneo(p.temporaneo);
      p.temporaneo.clear();
    }
    pronti.clear();
  }

  ~stato() { scarta(); }
};

insieme_file::insieme_file(std::string directory) : stato_(std::make_unique<stato>()) {
  stato_->directory = std::move(directory);
  installa_gestore();
}

insieme_file::~insieme_file() = default;

void insieme_file::prepara(const std::string& nome, const produttore& produci) {
  stato& s = *stato_;
  const std::string file = s.file(nome);
  std::wstring destinazione;
  DWORD errore = 0;
  try {
    destinazione = nome_largo(file);
  } catch (...) {
    s.scarta();
    throw;
  }
  // What would refuse only the move (a directory in the target's place, a
  // read-only target, which Wine running as root would replace) is found
  // now, while every previous file is as it was.
  const DWORD a = GetFileAttributesW(destinazione.c_str());
  if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    s.scarta();
    throw errore_file(file, testo_cartella_al_posto);
  }
  if (sola_lettura(destinazione)) {
    s.scarta();
    throw errore_file(file, motivo_sistema(ERROR_ACCESS_DENIED));
  }
  HANDLE h = INVALID_HANDLE_VALUE;
  {
    const sezione_temporanei sezione;
    for (int tentativo = 0; h == INVALID_HANDLE_VALUE; ++tentativo) {
      const std::wstring temporaneo = nome_largo(percorso(s.directory, nome_temporaneo()));
      // Shared for deletion, so that the console handler can remove it while
      // it is being written.
      h = CreateFileW(temporaneo.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
      if (h == INVALID_HANDLE_VALUE) {
        const DWORD e = GetLastError();
        if ((e != ERROR_FILE_EXISTS && e != ERROR_ALREADY_EXISTS) || tentativo > 100) {
          s.scarta();
          throw errore_file(file, motivo_sistema(e));
        }
      } else {
        registro().vivi.push_back(temporaneo);
        s.pronti.push_back({nome, destinazione, temporaneo});
      }
    }
  }
  // The first failed write is kept; the pieces after it are dropped.
  try {
    produci([&](std::string_view pezzo) {
      while (errore == 0 && !pezzo.empty()) {
        const DWORD blocco = static_cast<DWORD>(std::min<std::size_t>(pezzo.size(), 1u << 30));
        DWORD scritti = 0;
        if (!WriteFile(h, pezzo.data(), blocco, &scritti, nullptr))
          errore = GetLastError();
        else if (scritti == 0)
          errore = ERROR_WRITE_FAULT;
        else
          pezzo.remove_prefix(scritti);
      }
    });
  } catch (...) {
    CloseHandle(h);
    s.scarta();
    throw;
  }
  if (errore == 0 && !FlushFileBuffers(h)) errore = GetLastError();
  if (!CloseHandle(h) && errore == 0) errore = GetLastError();
  if (errore != 0) {
    s.scarta();
    throw errore_file(file, motivo_sistema(errore));
  }
}

void insieme_file::conferma() {
  stato& s = *stato_;
  // Ctrl-C that comes now waits until the last file is in place.
  const sezione_temporanei sezione;
  std::vector<std::string> sostituiti;
  for (stato::pronto& p : s.pronti) {
    if (!MoveFileExW(p.temporaneo.c_str(), p.destinazione.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      const std::string motivo = motivo_sistema(GetLastError());
      const std::string file = s.file(p.nome);
      s.scarta();
      throw errore_file(file, motivo_con_sostituiti(motivo, sostituiti));
    }
    dimentica_temporaneo(p.temporaneo);
    p.temporaneo.clear();
    sostituiti.push_back(p.nome);
  }
  s.pronti.clear();
}

void sostituisci_file(const std::string& file, std::string_view contenuto) {
  const std::size_t barra = file.find_last_of("\\/");
  insieme_file insieme(barra == std::string::npos ? "." : file.substr(0, barra));
  insieme.prepara(barra == std::string::npos ? file : file.substr(barra + 1),
                  [contenuto](const auto& scrivi) { scrivi(contenuto); });
  insieme.conferma();
}

struct lucchetto_cartella::stato {
  HANDLE mutex = nullptr;
  bool posseduto = false;
  ~stato() {
    if (posseduto) ReleaseMutex(mutex);
    if (mutex != nullptr) CloseHandle(mutex);
  }
};

// A named mutex: a directory cannot be locked on Windows, and the system
// abandons a mutex whose owner dies. Its name comes from the directory's
// final path, the same whatever way the caller spelt it.
lucchetto_cartella::lucchetto_cartella(const std::string& directory,
                                       const std::function<void()>& in_attesa)
    : stato_(std::make_unique<stato>()) {
  const std::wstring cartella = nome_largo(directory);
  const HANDLE h =
      CreateFileW(cartella.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw errore_file(directory, motivo_sistema(GetLastError()));
  std::wstring vero(32768, L'\0');
  DWORD n = GetFinalPathNameByHandleW(h, vero.data(), static_cast<DWORD>(vero.size()),
                                      FILE_NAME_NORMALIZED);
  CloseHandle(h);
  if (n == 0 || n >= vero.size())
    n = GetFullPathNameW(cartella.c_str(), static_cast<DWORD>(vero.size()), vero.data(), nullptr);
  if (n == 0 || n >= vero.size()) throw errore_file(directory, motivo_sistema(GetLastError()));
  vero.resize(n);
  CharLowerBuffW(vero.data(), n);
  std::uint64_t impronta = 14695981039346656037ull;  // FNV-1a
  for (wchar_t c : vero) {
    impronta ^= static_cast<std::uint16_t>(c);
    impronta *= 1099511628211ull;
  }
  wchar_t nome[64];
  // Global: runs of other sessions on a shared directory wait too, where the
  // system lets this user see the object.
  for (const wchar_t* spazio : {L"Global", L"Local"}) {
    swprintf(nome, 64, L"%ls\\compattatore-%016llx", spazio,
             static_cast<unsigned long long>(impronta));
    stato_->mutex = CreateMutexW(nullptr, FALSE, nome);
    if (stato_->mutex != nullptr || GetLastError() != ERROR_ACCESS_DENIED) break;
  }
  if (stato_->mutex == nullptr) throw errore_file(directory, motivo_sistema(GetLastError()));
  DWORD esito = WaitForSingleObject(stato_->mutex, 0);
  if (esito == WAIT_TIMEOUT) {
    if (in_attesa) in_attesa();
    esito = WaitForSingleObject(stato_->mutex, INFINITE);
  }
  if (esito != WAIT_OBJECT_0 && esito != WAIT_ABANDONED)
    throw errore_file(directory, motivo_sistema(GetLastError()));
  stato_->posseduto = true;

  WIN32_FIND_DATAW trovato;
  const std::wstring cerca =
      nome_largo(percorso(directory, std::string(prefisso_temporanei) + "*"));
  const HANDLE ricerca = FindFirstFileW(cerca.c_str(), &trovato);
  if (ricerca == INVALID_HANDLE_VALUE) return;
  std::vector<std::wstring> abbandonati;
  do {
    if ((trovato.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
      abbandonati.push_back(trovato.cFileName);
  } while (FindNextFileW(ricerca, &trovato));
  FindClose(ricerca);
  const std::wstring base = nome_largo(percorso(directory, ""));
  for (const std::wstring& a : abbandonati) DeleteFileW((base + a).c_str());
}

lucchetto_cartella::~lucchetto_cartella() = default;

bool presente(const std::string& file) {
  std::wstring nome;
  try {
    nome = nome_largo(file);
  } catch (const errore_file&) {
    return true;  // reading it says why
  }
  if (GetFileAttributesW(nome.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  const DWORD e = GetLastError();
  return e != ERROR_FILE_NOT_FOUND && e != ERROR_PATH_NOT_FOUND;
}

// One file is one volume and one file index, however its names are spelt.
bool stesso_file(const std::string& a, const std::string& b) {
  const auto identita = [](const std::string& file) -> std::optional<BY_HANDLE_FILE_INFORMATION> {
    std::wstring nome;
    try {
      nome = nome_largo(file);
    } catch (const errore_file&) {
      return std::nullopt;
    }
    const HANDLE h =
        CreateFileW(nome.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (!valido(h)) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION informazioni;
    const bool letto = GetFileInformationByHandle(h, &informazioni) != 0;
    CloseHandle(h);
    if (!letto) return std::nullopt;
    return informazioni;
  };
  const auto ia = identita(a);
  const auto ib = identita(b);
  return ia && ib && ia->dwVolumeSerialNumber == ib->dwVolumeSerialNumber &&
         ia->nFileIndexHigh == ib->nFileIndexHigh && ia->nFileIndexLow == ib->nFileIndexLow;
}

std::optional<std::uint64_t> dimensione_file(const std::string& file) {
  WIN32_FILE_ATTRIBUTE_DATA dati;
  try {
    if (!GetFileAttributesExW(nome_largo(file).c_str(), GetFileExInfoStandard, &dati))
      return std::nullopt;
  } catch (const errore_file&) {
    return std::nullopt;
  }
  if ((dati.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return std::nullopt;
  return (static_cast<std::uint64_t>(dati.nFileSizeHigh) << 32) | dati.nFileSizeLow;
}

bool esiste_directory(const std::string& directory) {
  const DWORD a = attributi(directory);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string leggi_file(const std::string& file, std::size_t limite) {
  const std::wstring nome = nome_largo(file);
  const DWORD a = GetFileAttributesW(nome.c_str());
  if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0)
    throw errore_file(file, testo_cartella_sorgente);
  const HANDLE h = CreateFileW(nome.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw errore_file(file, motivo_sistema(GetLastError()));
  const maniglia chiusa(h);
  if (GetFileType(h) != FILE_TYPE_DISK)
    throw errore_file(file, "e' una pipe o un dispositivo, non un file");
  LARGE_INTEGER dimensione;
  if (!GetFileSizeEx(h, &dimensione)) throw errore_file(file, motivo_sistema(GetLastError()));
  if (static_cast<std::uint64_t>(dimensione.QuadPart) > limite)
    throw errore_file(file, testo_oltre_limite(limite));
  std::string contenuto;
  contenuto.reserve(static_cast<std::size_t>(dimensione.QuadPart));
  // A file that grows while it is read still stops at the limit.
  char buffer[65536];
  for (;;) {
    DWORD letti = 0;
    if (!ReadFile(h, buffer, sizeof buffer, &letti, nullptr))
      throw errore_file(file, motivo_sistema(GetLastError()));
    if (letti == 0) break;
    if (letti > limite - contenuto.size()) throw errore_file(file, testo_oltre_limite(limite));
    contenuto.append(buffer, letti);
  }
  return contenuto;
}

void elimina_file(const std::string& file) {
  const std::wstring nome = nome_largo(file);
  if (sola_lettura(nome)) throw errore_file(file, motivo_sistema(ERROR_ACCESS_DENIED));
  if (DeleteFileW(nome.c_str())) return;
  const DWORD e = GetLastError();
  if (e != ERROR_FILE_NOT_FOUND && e != ERROR_PATH_NOT_FOUND)
    throw errore_file(file, motivo_sistema(e));
}

void mostra_attesa() {
  finestra_attesa& f = attesa();
  if (f.form1 != nullptr) return;
  const HINSTANCE istanza = GetModuleHandleW(nullptr);

  WNDCLASSEXW classe = {};
  classe.cbSize = sizeof classe;
  classe.lpfnWndProc = DefWindowProcW;
  classe.hInstance = istanza;
  classe.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  classe.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  classe.lpszClassName = classe_form1;
  if (!RegisterClassExW(&classe) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return;

  const HDC schermo = GetDC(nullptr);
  const int dpi_x = schermo ? GetDeviceCaps(schermo, LOGPIXELSX) : 96;
  const int dpi_y = schermo ? GetDeviceCaps(schermo, LOGPIXELSY) : 96;
  if (schermo) ReleaseDC(nullptr, schermo);
  const auto px_x = [&](int twip) { return MulDiv(twip, dpi_x, twip_per_pollice); };
  const auto px_y = [&](int twip) { return MulDiv(twip, dpi_y, twip_per_pollice); };

  const DWORD stile = WS_OVERLAPPEDWINDOW;
  RECT r = {0, 0, px_x(larghezza_client), px_y(altezza_client)};
  AdjustWindowRectEx(&r, stile, FALSE, 0);
  const std::wstring titolo = largo(titolo_applicazione());
  f.form1 = CreateWindowExW(0, classe_form1, titolo.c_str(), stile, CW_USEDEFAULT, CW_USEDEFAULT,
                            r.right - r.left, r.bottom - r.top, nullptr, nullptr, istanza, nullptr);
  if (f.form1 == nullptr) return;

  f.label1 = CreateWindowExW(
      0, L"STATIC", L"Attendere", WS_CHILD | WS_VISIBLE | SS_LEFT, px_x(sinistra_label1),
      px_y(alto_label1), px_x(larghezza_label1), px_y(altezza_label1), f.form1,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_label1)), istanza, nullptr);
  f.carattere = CreateFontW(-MulDiv(punti_label1, dpi_y, 72), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                            DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
  if (f.label1 != nullptr && f.carattere != nullptr)
    SendMessageW(f.label1, WM_SETFONT, reinterpret_cast<WPARAM>(f.carattere), FALSE);

  // Painted now, synchronously: the work that follows never returns to a
  // message loop, so this is the only paint the window gets.
  ShowWindow(f.form1, SW_SHOW);
  UpdateWindow(f.form1);
}

void chiudi_attesa() {
  finestra_attesa& f = attesa();
  if (f.form1 != nullptr) DestroyWindow(f.form1);
  if (f.carattere != nullptr) DeleteObject(f.carattere);
  f = finestra_attesa{};
}

void mostra_messaggio(const std::string& testo) {
  MessageBoxA(attesa().form1, testo.c_str(), titolo_applicazione().c_str(), MB_OK);
}

void usa_console() {
  // Handles given by the parent (a pipe, a file, a shell under Wine) are used
  // as they are; only the ones missing come from the parent's console.
  const DWORD flussi[] = {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
  bool mancante = false;
  for (DWORD s : flussi) mancante = mancante || !valido(GetStdHandle(s));
  if (!mancante || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
  for (DWORD s : flussi) {
    if (valido(GetStdHandle(s))) continue;
    const HANDLE console =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (valido(console)) SetStdHandle(s, console);
  }
}

void scrivi_errore(std::string_view testo) {
  scrivi_su(STD_ERROR_HANDLE, testo, CP_ACP);
}

bool scrivi_uscita(std::string_view testo) {
  return scrivi_su(STD_OUTPUT_HANDLE, testo, CP_UTF8);
}

}  // namespace compattatore::piattaforma
