// Test helper, cross-built for Windows and run under Wine: starts a program as
// a user would and writes to the file RAPPORTO what it shows, one fact a line:
//
//   form1 client=WxH figli=N menu=0|1
//   label1 x=X y=Y l=W a=H testo=TEXT
//   messaggio pulsanti=N icona=0|1 titolo=TEXT
//   riga=TEXT                      (one per line of the box's text)
//   stato=N                        (the program's exit status, last line)
//
// Each message box is reported once and then closed with its OK button, so a
// run that ends on an error does not wait for a person. The program gets this
// helper's standard handles and working directory; its output stays apart
// from the report.
//
// Usage: sorvegliante RAPPORTO PROGRAMMA [ARGOMENTO...]
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

bool di_classe(HWND h, const wchar_t* nome) {
  return _wcsicmp(classe(h).c_str(), nome) == 0;
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

class sorveglianza {
 public:
  explicit sorveglianza(DWORD processo) : processo_(processo) {}

  // One look at the program's top-level windows; new message boxes are
  // reported and closed, after the wait window they stand over.
  void guarda() {
    EnumWindows(
        [](HWND h, LPARAM p) -> BOOL {
          reinterpret_cast<sorveglianza*>(p)->considera(h);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(this));
    for (HWND box : da_chiudere_) {
      riferisci_messaggio(box);
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    da_chiudere_.clear();
  }

  void scrivi(const std::wstring& riga) { rapporto_ += riga + L"\n"; }

  bool salva(const wchar_t* file) const {
    const int n =
        WideCharToMultiByte(CP_ACP, 0, rapporto_.data(), static_cast<int>(rapporto_.size()),
                            nullptr, 0, nullptr, nullptr);
    std::string b(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, rapporto_.data(), static_cast<int>(rapporto_.size()), b.data(),
                        n, nullptr, nullptr);
    const HANDLE h =
        CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD scritti = 0;
    const bool fatto = WriteFile(h, b.data(), static_cast<DWORD>(b.size()), &scritti, nullptr) &&
                       scritti == b.size();
    return CloseHandle(h) && fatto;
  }

 private:
  void considera(HWND h) {
    DWORD di = 0;
    GetWindowThreadProcessId(h, &di);
    if (di != processo_ || !IsWindowVisible(h)) return;
    if (classe(h) == L"Form1" && !form1_visto_) {
      form1_visto_ = true;
      riferisci_form1(h);
    } else if (classe(h) == L"#32770" && messaggi_.insert(h).second) {
      da_chiudere_.push_back(h);
    }
  }

  void riferisci_form1(HWND form1) {
    RECT c;
    GetClientRect(form1, &c);
    const std::vector<HWND> controlli = figli(form1);
    scrivi(L"form1 client=" + std::to_wstring(c.right - c.left) + L"x" +
           std::to_wstring(c.bottom - c.top) + L" figli=" + std::to_wstring(controlli.size()) +
           L" menu=" + (GetMenu(form1) != nullptr ? L"1" : L"0"));
    for (HWND h : controlli) {
      if (!di_classe(h, L"Static")) continue;
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
      if (di_classe(h, L"Button")) {
        ++pulsanti;
      } else if (di_classe(h, L"Static")) {
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
    for (std::size_t inizio = 0; inizio <= righe.size();) {
      std::size_t fine = righe.find(L'\n', inizio);
      if (fine == std::wstring::npos) fine = righe.size();
      std::wstring riga = righe.substr(inizio, fine - inizio);
      if (!riga.empty() && riga.back() == L'\r') riga.pop_back();
      scrivi(L"riga=" + riga);
      inizio = fine + 1;
    }
  }

  DWORD processo_;
  bool form1_visto_ = false;
  std::set<HWND> messaggi_;
  std::vector<HWND> da_chiudere_;
  std::wstring rapporto_;
};

std::wstring tra_virgolette(const wchar_t* a) {
  return std::wstring(L"\"") + a + L"\"";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  const wchar_t* rapporto = argv[1];
  std::wstring riga_comando = tra_virgolette(argv[2]);
  for (int i = 3; i < argc; ++i) riga_comando += L" " + tra_virgolette(argv[i]);

  STARTUPINFOW avvio = {};
  avvio.cb = sizeof avvio;
  avvio.dwFlags = STARTF_USESTDHANDLES;
  avvio.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  avvio.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  avvio.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION pi = {};
  sorveglianza s(0);
  if (!CreateProcessW(argv[2], riga_comando.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &avvio, &pi)) {
    s.scrivi(L"avvio fallito " + std::to_wstring(GetLastError()));
    s.salva(rapporto);
    return 2;
  }

  s = sorveglianza(pi.dwProcessId);
  const ULONGLONG scadenza = GetTickCount64() + tempo_massimo_ms;
  for (;;) {
    const DWORD atteso = WaitForSingleObject(pi.hProcess, 10);
    s.guarda();
    if (atteso == WAIT_OBJECT_0) break;
    if (GetTickCount64() > scadenza) {
      TerminateProcess(pi.hProcess, stato_scaduto);
      WaitForSingleObject(pi.hProcess, INFINITE);
      s.scrivi(L"scaduto");
      break;
    }
  }
  DWORD stato = 0;
  GetExitCodeProcess(pi.hProcess, &stato);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  s.scrivi(L"stato=" + std::to_wstring(stato));
  if (!s.salva(rapporto)) return 125;
  return static_cast<int>(stato);
}
