// The Windows build end to end: the cross-built executable runs under Wine,
// with a virtual X display for its window, in a fresh directory, and must
// leave the same files and exit status as the native build run the same way.
//
// Every Windows run goes through sorvegliante.exe, which starts the program
// as a user would, reports its windows and message boxes and presses OK.
// The tests skip when Wine, Xvfb or the cross-build is missing, unless
// COMPATTATORE_RICHIEDI_WINE=1 (as in CI), where a missing tool fails.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace compattatore {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// ---- Child processes --------------------------------------------------------

struct esito {
  int stato = -1;  // the exit status; -1 when the process did not exit by itself
  bool scaduto = false;
  std::string uscita;
  std::string errore;
};

std::vector<std::string> ambiente_con(const std::map<std::string, std::string>& aggiunte) {
  std::vector<std::string> ambiente;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string voce = *e;
    if (!aggiunte.contains(voce.substr(0, voce.find('=')))) ambiente.push_back(voce);
  }
  for (const auto& [chiave, valore] : aggiunte) ambiente.push_back(chiave + "=" + valore);
  return ambiente;
}

// Runs `comando` (looked up in PATH) in `cartella`, standard input empty,
// output and errors collected. Wine leaves daemons that keep the pipes open,
// so the run ends when the process exits, not when the pipes close.
esito esegui(const std::vector<std::string>& comando, const fs::path& cartella,
             const std::map<std::string, std::string>& aggiunte, std::chrono::seconds limite) {
  esito e;
  int uscita[2], errore[2];
  if (pipe2(uscita, O_CLOEXEC) != 0 || pipe2(errore, O_CLOEXEC) != 0) return e;
  const std::vector<std::string> ambiente = ambiente_con(aggiunte);
  std::vector<char*> argv, envp;
  for (const std::string& a : comando) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  for (const std::string& a : ambiente) envp.push_back(const_cast<char*>(a.c_str()));
  envp.push_back(nullptr);

  const pid_t figlio = fork();
  if (figlio == 0) {
    setpgid(0, 0);
    const int vuoto = open("/dev/null", O_RDONLY);
    if (chdir(cartella.c_str()) != 0 || vuoto < 0) _exit(126);
    dup2(vuoto, 0);
    dup2(uscita[1], 1);
    dup2(errore[1], 2);
    execvpe(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  if (figlio > 0) setpgid(figlio, figlio);
  close(uscita[1]);
  close(errore[1]);
  if (figlio < 0) {
    close(uscita[0]);
    close(errore[0]);
    return e;
  }

  const auto scadenza = std::chrono::steady_clock::now() + limite;
  int stato = 0;
  bool finito = false;
  pollfd flussi[2] = {{uscita[0], POLLIN, 0}, {errore[0], POLLIN, 0}};
  std::string* destinazioni[2] = {&e.uscita, &e.errore};
  for (;;) {
    if (!finito && waitpid(figlio, &stato, WNOHANG) == figlio) finito = true;
    if (!finito && std::chrono::steady_clock::now() > scadenza) {
      kill(-figlio, SIGKILL);
      waitpid(figlio, &stato, 0);
      e.scaduto = true;
      break;
    }
    // Once the process has gone, only what is already in the pipes is taken.
    const int pronti = poll(flussi, 2, finito ? 0 : 50);
    if (pronti <= 0) {
      if (finito) break;
      continue;
    }
    bool letto = false;
    for (int i = 0; i < 2; ++i) {
      if ((flussi[i].revents & (POLLIN | POLLHUP)) == 0) continue;
      char buffer[65536];
      const ssize_t n = read(flussi[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        destinazioni[i]->append(buffer, static_cast<std::size_t>(n));
        letto = true;
      } else {
        flussi[i].fd = -1;
      }
    }
    if (finito && !letto) break;
    if (flussi[0].fd < 0 && flussi[1].fd < 0 && finito) break;
  }
  close(uscita[0]);
  close(errore[0]);
  if (!e.scaduto && WIFEXITED(stato)) e.stato = WEXITSTATUS(stato);
  return e;
}

std::string nel_path(const std::string& programma) {
  const char* path = std::getenv("PATH");
  std::stringstream cartelle(path != nullptr ? path : "");
  for (std::string c; std::getline(cartelle, c, ':');) {
    const fs::path p = fs::path(c.empty() ? "." : c) / programma;
    if (access(p.c_str(), X_OK) == 0) return p;
  }
  return {};
}

// ---- Files ------------------------------------------------------------------

std::map<std::string, std::string> file_in(const fs::path& cartella) {
  std::map<std::string, std::string> file;
  for (const fs::directory_entry& voce : fs::directory_iterator(cartella)) {
    std::ifstream in(voce.path(), std::ios::binary);
    file[voce.path().filename().string()] =
        std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return file;
}

std::set<std::string> nomi(const std::map<std::string, std::string>& file) {
  std::set<std::string> n;
  for (const auto& [nome, contenuto] : file) n.insert(nome);
  return n;
}

// Where two contents first differ, for a readable failure.
std::string differenza(const std::string& a, const std::string& b) {
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size()) +
         ", first difference at byte " + std::to_string(i);
}

// A fresh directory for one run: `programma` holds the executable alone,
// `altrove` is the working directory, which must stay empty.
struct cartella_prova {
  fs::path radice, programma, altrove;

  explicit cartella_prova(const fs::path& eseguibile, const std::string& nome) {
    std::string modello = (fs::path(::testing::TempDir()) / "finestre_XXXXXX").string();
    radice = mkdtemp(modello.data());
    programma = radice / "programma";
    altrove = radice / "altrove";
    fs::create_directories(programma);
    fs::create_directories(altrove);
    fs::copy_file(eseguibile, programma / nome);
  }
  ~cartella_prova() {
    std::error_code ignorato;
    if (!::testing::Test::HasFailure()) fs::remove_all(radice, ignorato);
  }
};

// The same place as Wine's drive Z: sees it.
std::string dos(const fs::path& p) {
  std::string d = "Z:" + p.string();
  for (char& c : d)
    if (c == '/') c = '\\';
  return d;
}

// ---- What the watcher reports -------------------------------------------------

struct messaggio {
  std::string intestazione;  // "pulsanti=N icona=N titolo=..."
  std::vector<std::string> righe;
};

struct rapporto {
  std::string form1, label1;  // empty when the window was not seen
  std::vector<messaggio> messaggi;
  int stato = -1;
};

rapporto leggi_rapporto(const std::string& testo) {
  rapporto r;
  std::stringstream righe(testo);
  for (std::string riga; std::getline(righe, riga);) {
    if (!riga.empty() && riga.back() == '\r') riga.pop_back();
    const auto inizia = [&](std::string_view p) { return riga.starts_with(p); };
    if (inizia("form1 "))
      r.form1 = riga.substr(6);
    else if (inizia("label1 "))
      r.label1 = riga.substr(7);
    else if (inizia("messaggio "))
      r.messaggi.push_back({riga.substr(10), {}});
    else if (inizia("riga=") && !r.messaggi.empty())
      r.messaggi.back().righe.push_back(riga.substr(5));
    else if (inizia("stato="))
      r.stato = std::atoi(riga.c_str() + 6);
  }
  return r;
}

std::string unite(const std::vector<std::string>& righe) {
  std::string t;
  for (const std::string& r : righe) t += (t.empty() ? "" : "\n") + r;
  return t;
}

// ---- Wine and its display ---------------------------------------------------------

#ifdef COMPATTATORE_EXE_WINDOWS
constexpr const char* exe_windows = COMPATTATORE_EXE_WINDOWS;
constexpr const char* sorvegliante = COMPATTATORE_SORVEGLIANTE_WINDOWS;
constexpr const char* prefisso_wine = COMPATTATORE_WINEPREFIX;
#else
constexpr const char* exe_windows = "";
constexpr const char* sorvegliante = "";
constexpr const char* prefisso_wine = "";
#endif

// What is missing to run Wine here; empty when nothing is.
std::string mancante() {
  if (*exe_windows == '\0')
    return "the build has no Windows executable (mingw-w64 missing or COMPATTATORE_WINDOWS=OFF)";
  for (const char* f : {exe_windows, sorvegliante})
    if (!fs::exists(f)) return std::string(f) + " was not built";
  for (const char* p : {"wine", "wineserver", "Xvfb"})
    if (nel_path(p).empty()) return std::string(p) + " is not installed";
  return {};
}

// One X display and one Wine server for the tests of one process. The prefix
// lives in the build tree and is created by the first run that finds none; a
// lock beside it keeps concurrent test processes from sharing or racing on it.
class ambiente_wine {
 public:
  ambiente_wine() {
    const std::string lucchetto = std::string(prefisso_wine) + ".lock";
    lucchetto_ = open(lucchetto.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
    if (lucchetto_ < 0 || flock(lucchetto_, LOCK_EX) != 0) {
      guasto_ = "cannot lock " + lucchetto;
      return;
    }
    if (!avvia_display()) return;
    prepara_prefisso();
  }

  ~ambiente_wine() {
    if (!display_.empty()) esegui({"wineserver", "-k"}, "/", variabili(), 60s);
    if (xvfb_ > 0) {
      kill(xvfb_, SIGTERM);
      waitpid(xvfb_, nullptr, 0);
    }
    if (lucchetto_ >= 0) close(lucchetto_);
  }

  const std::string& guasto() const { return guasto_; }

  std::map<std::string, std::string> variabili() const {
    return {{"WINEPREFIX", prefisso_wine},
            {"WINEDEBUG", "-all"},
            {"WINEDLLOVERRIDES", "mscoree,mshtml="},
            {"DISPLAY", display_}};
  }

 private:
  bool avvia_display() {
    int numero[2];
    if (pipe2(numero, O_CLOEXEC) != 0) return false;
    xvfb_ = fork();
    if (xvfb_ == 0) {
      const int fd = dup(numero[1]);  // without close-on-exec, for Xvfb to write to
      const int vuoto = open("/dev/null", O_RDWR);
      dup2(vuoto, 0);
      dup2(vuoto, 1);
      dup2(vuoto, 2);
      const std::string fd_testo = std::to_string(fd);
      execlp("Xvfb", "Xvfb", "-displayfd", fd_testo.c_str(), "-nolisten", "tcp", "-screen", "0",
             "1024x768x24", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(numero[1]);
    std::string letto;
    pollfd p = {numero[0], POLLIN, 0};
    while (letto.find('\n') == std::string::npos && poll(&p, 1, 30000) > 0) {
      char c[16];
      const ssize_t n = read(numero[0], c, sizeof c);
      if (n <= 0) break;
      letto.append(c, static_cast<std::size_t>(n));
    }
    close(numero[0]);
    if (xvfb_ < 0 || letto.find('\n') == std::string::npos) {
      guasto_ = "Xvfb did not start";
      return false;
    }
    display_ = ":" + letto.substr(0, letto.find('\n'));
    return true;
  }

  void prepara_prefisso() {
    const fs::path prefisso = prefisso_wine;
    const fs::path pronto = prefisso / ".compattatore-pronto";
    if (fs::exists(pronto)) return;
    std::error_code ignorato;
    fs::remove_all(prefisso, ignorato);
    const esito avvio = esegui({"wine", "wineboot", "--init"}, "/", variabili(), 600s);
    // Without a window manager on the display, Wine waits two seconds for one
    // at every top-level window it hides; unmanaged windows skip that wait.
    const esito x11 = esegui({"wine", "reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v",
                              "Managed", "/t", "REG_SZ", "/d", "N", "/f"},
                             "/", variabili(), 300s);
    esegui({"wineserver", "-w"}, "/", variabili(), 120s);
    if (avvio.stato != 0 || x11.stato != 0 || !fs::exists(prefisso / "system.reg")) {
      guasto_ = "wineboot could not create " + prefisso.string() + ": " + avvio.errore + x11.errore;
      return;
    }
    std::ofstream(pronto) << "\n";
  }

  int lucchetto_ = -1;
  pid_t xvfb_ = -1;
  std::string display_;
  std::string guasto_;
};

class WindowsSottoWine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    mancante_ = mancante();
    if (mancante_.empty()) wine_ = std::make_unique<ambiente_wine>();
  }
  static void TearDownTestSuite() { wine_.reset(); }

  void SetUp() override {
    const char* richiesto = std::getenv("COMPATTATORE_RICHIEDI_WINE");
    if (!mancante_.empty()) {
      if (richiesto != nullptr && std::string(richiesto) == "1")
        FAIL() << mancante_ << " (COMPATTATORE_RICHIEDI_WINE=1)";
      GTEST_SKIP() << mancante_;
    }
    ASSERT_EQ(wine_->guasto(), "");
  }

  struct corsa {
    esito processo;
    rapporto finestre;
  };

  // The Windows program started with `argomenti` from `c.altrove`.
  static corsa esegui_windows(const cartella_prova& c, const std::vector<std::string>& argomenti) {
    std::vector<std::string> comando = {"wine", sorvegliante,
                                        dos(c.programma / "compattatore.exe")};
    comando.insert(comando.end(), argomenti.begin(), argomenti.end());
    corsa r{esegui(comando, c.altrove, wine_->variabili(), 300s), {}};
    r.finestre = leggi_rapporto(r.processo.uscita);
    return r;
  }

  static inline std::string mancante_;
  static inline std::unique_ptr<ambiente_wine> wine_;
};

void verifica_finestra_attesa(const rapporto& r) {
  EXPECT_EQ(r.form1, "client=280x179 figli=1 menu=0");
  EXPECT_EQ(r.label1, "x=64 y=64 l=177 a=53 testo=Attendere");
}

void verifica_riquadro(const messaggio& m) {
  EXPECT_EQ(m.intestazione, "pulsanti=1 icona=0 titolo=compattatore");
}

TEST_F(WindowsSottoWine, FixedJobLeavesTheSameFilesAndStatusAsTheNativeBuild) {
  const cartella_prova lin(COMPATTATORE_EXE, "compattatore");
  const cartella_prova win(exe_windows, "compattatore.exe");

  const esito nativo = esegui({(lin.programma / "compattatore").string()}, lin.altrove, {}, 300s);
  const corsa windows = esegui_windows(win, {});
  ASSERT_FALSE(nativo.scaduto);
  ASSERT_FALSE(windows.processo.scaduto) << windows.processo.uscita << windows.processo.errore;
  ASSERT_NE(windows.finestre.stato, -1) << windows.processo.uscita << windows.processo.errore;

  EXPECT_EQ(windows.finestre.stato, nativo.stato) << nativo.errore;
  EXPECT_EQ(windows.processo.stato, windows.finestre.stato);

  std::map<std::string, std::string> file_lin = file_in(lin.programma);
  std::map<std::string, std::string> file_win = file_in(win.programma);
  file_lin.erase("compattatore");
  file_win.erase("compattatore.exe");
  EXPECT_EQ(nomi(file_win), nomi(file_lin));
  for (const auto& [nome, contenuto] : file_lin) {
    if (!file_win.contains(nome)) continue;
    EXPECT_TRUE(file_win[nome] == contenuto)
        << nome << ": " << differenza(file_win[nome], contenuto);
  }
  EXPECT_TRUE(fs::is_empty(lin.altrove));
  EXPECT_TRUE(fs::is_empty(win.altrove));

  // A message that the native build writes on standard error is a box on
  // Windows; an error number reads the same in both.
  std::string messaggio_nativo = nativo.errore;
  if (messaggio_nativo.starts_with("Attendere\n")) messaggio_nativo.erase(0, 10);
  ASSERT_EQ(windows.finestre.messaggi.size(), messaggio_nativo.empty() ? 0u : 1u)
      << "native: " << nativo.errore;
  for (const messaggio& m : windows.finestre.messaggi) verifica_riquadro(m);
  if (messaggio_nativo.starts_with(" Errore n. ")) {
    EXPECT_EQ(windows.finestre.messaggi[0].righe.at(0),
              messaggio_nativo.substr(0, messaggio_nativo.find('\n')));
  }
  if (!windows.finestre.form1.empty()) verifica_finestra_attesa(windows.finestre);
}

TEST_F(WindowsSottoWine, ReadOnlyOutputFileFailsAndKeepsEveryFile) {
  const cartella_prova win(exe_windows, "compattatore.exe");
  const corsa prima_corsa = esegui_windows(win, {});
  ASSERT_FALSE(prima_corsa.processo.scaduto);

  // A document the user edited and protected. The documents are written
  // before the compaction, whatever it does. Wine shows a file without write
  // permission as read-only: "attrib +r" sets the attribute exactly this way.
  const std::string bersaglio = "Quarve_Lentra_58213_scheda_treno.txt";
  ASSERT_TRUE(fs::exists(win.programma / bersaglio));
  std::ofstream(win.programma / bersaglio, std::ios::binary) << "annotato a mano\r\n";
  fs::permissions(win.programma / bersaglio,
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  const std::map<std::string, std::string> prima = file_in(win.programma);

  const corsa r = esegui_windows(win, {});
  ASSERT_FALSE(r.processo.scaduto);
  EXPECT_EQ(r.finestre.stato, 2);
  EXPECT_EQ(r.processo.stato, 2);
  ASSERT_EQ(r.finestre.messaggi.size(), 1u) << r.processo.uscita;
  verifica_riquadro(r.finestre.messaggi[0]);
  EXPECT_NE(unite(r.finestre.messaggi[0].righe).find(bersaglio), std::string::npos)
      << unite(r.finestre.messaggi[0].righe);
  // The box comes up while the wait window is still there.
  verifica_finestra_attesa(r.finestre);

  const std::map<std::string, std::string> dopo = file_in(win.programma);
  for (const auto& [nome, contenuto] : prima) {
    ASSERT_TRUE(dopo.contains(nome)) << nome;
    EXPECT_TRUE(dopo.at(nome) == contenuto) << nome << ": " << differenza(dopo.at(nome), contenuto);
  }
  // Only the sources, written before the documents, may be new: the first
  // run's reader consumes them.
  const std::set<std::string> nuovi_ammessi = {"Quarve_Lentra_linea.txt",
                                               "Quarve_Lentra_58213-.txt"};
  for (const auto& [nome, contenuto] : dopo) {
    EXPECT_EQ(nome.find(".tmp"), std::string::npos) << "temporary left behind: " << nome;
    if (!prima.contains(nome)) {
      EXPECT_TRUE(nuovi_ammessi.contains(nome)) << "new file " << nome;
    }
  }
  EXPECT_EQ(fs::status(win.programma / bersaglio).permissions() & fs::perms::owner_write,
            fs::perms::none)
      << "the read-only attribute was cleared";
  EXPECT_TRUE(fs::is_empty(win.altrove));
}

TEST_F(WindowsSottoWine, CommandLineWritesToTheConsoleAndShowsNoWindow) {
  const cartella_prova win(exe_windows, "compattatore.exe");
  const corsa r = esegui_windows(win, {"comando-inesistente"});
  ASSERT_FALSE(r.processo.scaduto);
  EXPECT_EQ(r.finestre.stato, 2);
  EXPECT_NE(r.processo.errore, "");
  EXPECT_EQ(r.finestre.form1, "");
  EXPECT_TRUE(r.finestre.messaggi.empty());
  EXPECT_EQ(nomi(file_in(win.programma)), std::set<std::string>{"compattatore.exe"});
  EXPECT_TRUE(fs::is_empty(win.altrove));
}

}  // namespace
}  // namespace compattatore
