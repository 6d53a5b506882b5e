// How long the planner takes to show its window, and how much memory it holds then, beside a
// bare Qt program with a main window, a notification-area icon and a one-second timer (built
// here as bareplanner). Both are started in turn on the same X server, many times, and the
// medians compared: a window is "shown" when the X server maps it. The planner runs on a store
// of one plan, and on one of 10,000 plans with a year of dose-log rows; started hidden, it is
// timed to its first reminder tick, which its trace tells.
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/bench_startup
#include "core/datetime.h"
#include "support/plans.h"
#include "support/testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace vantrel;
using Clock = std::chrono::steady_clock;

namespace {

// Each start is repeated this often (VANTREL_BENCH_RUNS overrides it).
const int kRuns = qEnvironmentVariableIsSet("VANTREL_BENCH_RUNS") ? qEnvironmentVariableIntValue("VANTREL_BENCH_RUNS") : 15;

QString besideMe(const char* name) {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + QString::fromLatin1(name);
}

// A store with one profile and `plans` plans over ten profiles; with `logDays`, a dose-log row
// for four doses a day of each profile over that many days.
void seed(const QString& dir, int plans, int logDays) {
    data::Database db(QStringLiteral("seed"));
    db.open(dir);
    db.transaction([&] {
        for (int p = 1; p <= 10; ++p)
            db.run(QStringLiteral("INSERT INTO patient (NAME) VALUES (?)"), {QStringLiteral("Person %1").arg(p)}).finish();
        const int med = test::addMedicine(db, QStringLiteral("Vitamin D"));
        for (int p = 1; p <= 10; ++p)
            test::addLink(db, "mlref", p, med);
        const char* kinds[] = {"N", "D", "X", "W"};
        for (int i = 0; i < plans; ++i) {
            test::PlanSpec s;
            s.patient = 1 + i % 10;
            s.medicine = med;
            s.repeat = QString::fromLatin1(kinds[i % 4]);
            s.days = s.repeat == "X" ? QString::number(2 + i % 13) : s.repeat == "W" ? QStringLiteral("246") : QString();
            s.start = dt::encode(2026, 12, 1 + i % 20, 6 + i % 14, i % 60);
            test::addPlan(db, s);
        }
        const double today = std::floor(dt::fromQDateTime(QDateTime::currentDateTime()));
        for (int d = 0; d < logDays; ++d)
            for (int p = 1; p <= 10; ++p)
                for (int h : {8, 12, 18, 22})
                    db.run(QStringLiteral("INSERT INTO doselog (PATIENTREF, APPTID, APPTTYPE, ITEMNAME, EVENTTIME, "
                                          "RAISEDAT, STATE, ACTEDAT) VALUES (?, ?, 'M', 'Vitamin D', ?, ?, 'T', ?)"),
                           {p, p * 10 + h, today - logDays + d + h / 24.0, today - logDays + d + h / 24.0,
                            today - logDays + d + h / 24.0 + 0.01})
                        .finish();
    });
}

struct Started {
    double ms = -1;     // to the window, or to the first tick
    double rssMb = -1;  // resident memory a second after that
    std::string trace;  // what it wrote to its standard error
};

double rssMbOf(pid_t pid) {
    FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r");
    if (!f) return -1;
    char line[256];
    double kb = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmRSS: %lf kB", &kb) == 1) break;
    std::fclose(f);
    return kb / 1024.0;
}

// Starts the program and waits for the window of that title to be mapped, or (title empty) for
// the line "first reminder tick" on its standard error.
Started start(Display* x, const QString& program, const QStringList& args, const std::string& title,
              const QList<std::pair<QByteArray, QByteArray>>& env) {
    int err[2];
    if (pipe2(err, O_CLOEXEC) != 0) return {};
    XSync(x, True); // no event of an earlier run is taken for this one
    const auto t0 = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        for (const auto& [k, v] : env)
            setenv(k.constData(), v.constData(), 1);
        dup2(err[1], 2);
        std::vector<QByteArray> store{program.toLocal8Bit()};
        for (const QString& a : args)
            store.push_back(a.toLocal8Bit());
        std::vector<char*> argv;
        for (QByteArray& s : store)
            argv.push_back(s.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(err[1]);
    Started out;
    std::string trace;
    const auto deadline = t0 + std::chrono::seconds(20);
    while (out.ms < 0 && Clock::now() < deadline) {
        pollfd fds[2] = {{ConnectionNumber(x), POLLIN, 0}, {err[0], POLLIN, 0}};
        poll(fds, 2, 50);
        while (XPending(x)) {
            XEvent e;
            XNextEvent(x, &e);
            if (e.type != MapNotify || title.empty()) continue;
            char* name = nullptr;
            if (XFetchName(x, e.xmap.window, &name) && name) {
                if (title == name) out.ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
                XFree(name);
            }
        }
        if (fds[1].revents & POLLIN) {
            char buf[4096];
            const ssize_t n = read(err[0], buf, sizeof buf);
            if (n > 0) trace.append(buf, static_cast<size_t>(n));
            if (title.empty() && trace.find("first reminder tick") != std::string::npos)
                out.ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
        }
    }
    // The memory once the start has settled.
    usleep(1000 * 1000);
    out.rssMb = rssMbOf(pid);
    kill(pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 100 && waitpid(pid, &status, WNOHANG) == 0; ++i)
        usleep(20 * 1000);
    if (waitpid(pid, &status, WNOHANG) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    char buf[4096];
    for (ssize_t n; (n = read(err[0], buf, sizeof buf)) > 0;)
        trace.append(buf, static_cast<size_t>(n));
    close(err[0]);
    out.trace = trace;
    return out;
}

double median(std::vector<double> v) {
    v.erase(std::remove(v.begin(), v.end(), -1.0), v.end());
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void BM_Startup(benchmark::State& state) {
    Display* x = XOpenDisplay(nullptr);
    if (!x) {
        state.SkipWithError("no X display: run it under xvfb-run");
        for (auto _ : state) {
        }
        return;
    }
    XSelectInput(x, DefaultRootWindow(x), SubstructureNotifyMask);
    QTemporaryDir home;
    // VANTREL_BENCH_KEEP=1 keeps the stores and settings, to start the planner on them by hand.
    if (qEnvironmentVariableIsSet("VANTREL_BENCH_KEEP")) {
        home.setAutoRemove(false);
        std::printf("The stores stay in %s\n", qPrintable(home.path()));
    }
    const QString small = home.filePath("small"), large = home.filePath("large");
    seed(small, 1, 0);
    seed(large, 10000, 365);
    QDir(home.path()).mkpath("run");
    QFile::setPermissions(home.filePath("run"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QList<std::pair<QByteArray, QByteArray>> env{{"XDG_CONFIG_HOME", home.filePath("config").toLocal8Bit()},
                                                       {"XDG_DATA_HOME", home.filePath("share").toLocal8Bit()},
                                                       {"XDG_RUNTIME_DIR", home.filePath("run").toLocal8Bit()}};
    auto hiddenEnv = env;
    hiddenEnv.append(std::pair<QByteArray, QByteArray>("QT_LOGGING_RULES", "vantrel.startup=true"));
    const QString planner = besideMe("../vantrel-planner"), bare = besideMe("bareplanner");
    // A first run of each writes the settings and warms the disk cache.
    start(x, planner, {"--data-dir", small}, "Vantrel Planner", env);
    start(x, planner, {"--data-dir", large}, "Vantrel Planner", env);
    start(x, bare, {}, "Bare Planner", env);

    std::vector<double> bareMs, bareRss, smallMs, smallRss, largeMs, largeRss, hiddenMs;
    for (auto _ : state) {
        for (int i = 0; i < kRuns; ++i) {
            Started b = start(x, bare, {}, "Bare Planner", env);
            Started s = start(x, planner, {"--data-dir", small}, "Vantrel Planner", env);
            Started l = start(x, planner, {"--data-dir", large}, "Vantrel Planner", env);
            Started h = start(x, planner, {"--data-dir", small, "startup"}, "", hiddenEnv);
            bareMs.push_back(b.ms), bareRss.push_back(b.rssMb);
            smallMs.push_back(s.ms), smallRss.push_back(s.rssMb);
            largeMs.push_back(l.ms), largeRss.push_back(l.rssMb);
            hiddenMs.push_back(h.ms);
        }
    }
    // One start of each store with its trace, for the steps and their times.
    for (const QString& store : {small, large}) {
        const Started traced = start(x, planner, {"--data-dir", store}, "Vantrel Planner", hiddenEnv);
        std::printf("The start on %s:\n", store == small ? "one plan" : "10,000 plans");
        for (const QString& line : QString::fromStdString(traced.trace).split('\n'))
            if (line.startsWith("vantrel.startup:")) std::printf("  %s\n", qPrintable(line.mid(17)));
    }
    XCloseDisplay(x);
    const double b = median(bareMs), s = median(smallMs), l = median(largeMs), h = median(hiddenMs);
    const double br = median(bareRss), sr = median(smallRss), lr = median(largeRss);
    state.counters["bare_ms"] = b;
    state.counters["window_ms"] = s;
    state.counters["ratio"] = s / b;
    state.counters["window_10k_ms"] = l;
    state.counters["ratio_10k"] = l / b;
    state.counters["hidden_tick_ms"] = h;
    state.counters["hidden_ratio"] = h / b;
    state.counters["bare_rss_mb"] = br;
    state.counters["rss_mb"] = sr;
    state.counters["rss_over_bare_mb"] = sr - br;
    state.counters["rss_10k_growth_mb"] = lr - sr;
    std::printf("window shown: %.0f ms against %.0f ms bare (%.2f times); 10,000 plans: %.0f ms (%.2f times); "
                "hidden, first tick: %.0f ms (%.2f times)\n",
                s, b, s / b, l, l / b, h, h / b);
    std::printf("resident memory: %.1f MB against %.1f MB bare (+%.1f MB); 10,000 plans: %.1f MB (+%.1f MB)\n", sr, br,
                sr - br, lr, lr - sr);
}

} // namespace

BENCHMARK(BM_Startup)->Iterations(1)->Unit(benchmark::kMillisecond);
