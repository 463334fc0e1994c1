// Test helper, cross-built for Windows and run under Wine: starts a program as
// a user would and reports on standard output what it shows, one fact a line:
//
//   form1 client=WxH figli=N menu=0|1
//   label1 x=X y=Y l=W a=H testo=TEXT
//   messaggio pulsanti=N icona=0|1 titolo=TEXT
//   riga=TEXT                      (one per line of the box's text)
//   stato=N                        (the program's exit status, last line)
//
// Each message box is reported once and then closed with its OK button, so a
// run that ends on an error does not wait for a person. The program gets this
// helper's standard handles and working directory.
//
// Usage: sorvegliante PROGRAMMA [ARGOMENTO...]
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <set>
#include <string>
#include <vector>

namespace {

constexpr ULONGLONG tempo_massimo_ms = 120000;
constexpr DWORD stato_scaduto = 124;

void scrivi(const std::wstring& riga) {
  const std::wstring r = riga + L"\n";
  const int n = WideCharToMultiByte(CP_ACP, 0, r.data(), static_cast<int>(r.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string b(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, r.data(), static_cast<int>(r.size()), b.data(), n, nullptr,
                      nullptr);
  DWORD scritti = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), b.data(), static_cast<DWORD>(b.size()), &scritti,
            nullptr);
}

std::wstring testo(HWND h) {
  wchar_t buffer[4096] = {};
  GetWindowTextW(h, buffer, 4096);
  return buffer;
}

std::wstring classe(HWND h) {
  wchar_t buffer[256] = {};
  GetClassNameW(h, buffer, 256);
  return buffer;
}

std::vector<HWND> figli(HWND padre) {
  std::vector<HWND> trovati;
  EnumChildWindows(
      padre,
      [](HWND h, LPARAM p) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&trovati));
  return trovati;
}

struct sorveglianza {
  DWORD processo = 0;
  bool form1_visto = false;
  std::set<HWND> messaggi_chiusi;
  std::vector<HWND> da_chiudere;
};

void riferisci_form1(HWND form1) {
  RECT c;
  GetClientRect(form1, &c);
  const std::vector<HWND> controlli = figli(form1);
  scrivi(L"form1 client=" + std::to_wstring(c.right - c.left) + L"x" +
         std::to_wstring(c.bottom - c.top) + L" figli=" + std::to_wstring(controlli.size()) +
         L" menu=" + (GetMenu(form1) != nullptr ? L"1" : L"0"));
  for (HWND h : controlli) {
    if (_wcsicmp(classe(h).c_str(), L"Static") != 0) continue;
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, form1, reinterpret_cast<POINT*>(&r), 2);
    scrivi(L"label1 x=" + std::to_wstring(r.left) + L" y=" + std::to_wstring(r.top) + L" l=" +
           std::to_wstring(r.right - r.left) + L" a=" + std::to_wstring(r.bottom - r.top) +
           L" testo=" + testo(h));
  }
}

void riferisci_messaggio(HWND box) {
  int pulsanti = 0;
  bool icona = false;
  std::wstring righe;
  for (HWND h : figli(box)) {
    if (!IsWindowVisible(h)) continue;
    const std::wstring c = classe(h);
    if (_wcsicmp(c.c_str(), L"Button") == 0) {
      ++pulsanti;
    } else if (_wcsicmp(c.c_str(), L"Static") == 0) {
      // A box without an icon may still hold an empty icon control.
      DWORD_PTR immagine = 0;
      if ((GetWindowLongW(h, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
        icona = icona || (SendMessageTimeoutW(h, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 5000,
                                              &immagine) != 0 &&
                          immagine != 0);
      else
        righe += testo(h);
    }
  }
  scrivi(L"messaggio pulsanti=" + std::to_wstring(pulsanti) + L" icona=" + (icona ? L"1" : L"0") +
         L" titolo=" + testo(box));
  std::size_t inizio = 0;
  while (inizio <= righe.size()) {
    std::size_t fine = righe.find(L'\n', inizio);
    if (fine == std::wstring::npos) fine = righe.size();
    std::wstring riga = righe.substr(inizio, fine - inizio);
    if (!riga.empty() && riga.back() == L'\r') riga.pop_back();
    scrivi(L"riga=" + riga);
    inizio = fine + 1;
  }
}

BOOL CALLBACK guarda(HWND h, LPARAM p) {
  sorveglianza& s = *reinterpret_cast<sorveglianza*>(p);
  DWORD di = 0;
  GetWindowThreadProcessId(h, &di);
  if (di != s.processo || !IsWindowVisible(h)) return TRUE;
  const std::wstring c = classe(h);
  if (c == L"Form1" && !s.form1_visto) {
    s.form1_visto = true;
    riferisci_form1(h);
  } else if (c == L"#32770" && s.messaggi_chiusi.insert(h).second) {
    s.da_chiudere.push_back(h);
  }
  return TRUE;
}

std::wstring tra_virgolette(const wchar_t* a) {
  return std::wstring(L"\"") + a + L"\"";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    scrivi(L"uso: sorvegliante PROGRAMMA [ARGOMENTO...]");
    return 2;
  }
  std::wstring riga_comando = tra_virgolette(argv[1]);
  for (int i = 2; i < argc; ++i) riga_comando += L" " + tra_virgolette(argv[i]);

  STARTUPINFOW avvio = {};
  avvio.cb = sizeof avvio;
  avvio.dwFlags = STARTF_USESTDHANDLES;
  avvio.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  avvio.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  avvio.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(argv[1], riga_comando.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &avvio, &pi)) {
    scrivi(L"avvio fallito " + std::to_wstring(GetLastError()));
    return 2;
  }

  sorveglianza s;
  s.processo = pi.dwProcessId;
  const ULONGLONG scadenza = GetTickCount64() + tempo_massimo_ms;
  for (;;) {
    const DWORD atteso = WaitForSingleObject(pi.hProcess, 10);
    EnumWindows(guarda, reinterpret_cast<LPARAM>(&s));
    // Read before closing: the wait window is still there while a box is up.
    for (HWND box : s.da_chiudere) {
      riferisci_messaggio(box);
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    s.da_chiudere.clear();
    if (atteso == WAIT_OBJECT_0) break;
    if (GetTickCount64() > scadenza) {
      TerminateProcess(pi.hProcess, stato_scaduto);
      WaitForSingleObject(pi.hProcess, INFINITE);
      scrivi(L"scaduto");
      break;
    }
  }
  DWORD stato = 0;
  GetExitCodeProcess(pi.hProcess, &stato);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  scrivi(L"stato=" + std::to_wstring(stato));
  return static_cast<int>(stato);
}
