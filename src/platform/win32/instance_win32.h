#pragma once
// One running instance per logon session, held by named kernel objects. The first start holds a
// mutex under the name for the whole run; a later start finds the name taken and ends. So that
// the later start can bring the running one forward, the first also keeps a small file mapping
// that tells the handle of a hidden window to which the request is posted.
#include <functional>
#include <string>

namespace vantrel::platform::win32 {

class NamedInstance {
public:
    explicit NamedInstance(std::string name);
    ~NamedInstance();
    NamedInstance(const NamedInstance&) = delete;
    NamedInstance& operator=(const NamedInstance&) = delete;

    // True when this process now holds the instance; false when another one runs (or starts at
    // this very moment). A name that cannot be tested counts as taken: a second copy must never
    // run on the same data.
    bool claim();
    // Asks the running instance to come forward. False when none answers.
    bool activateRunning();
    // Called on the claiming thread's message loop when a later start asked for the window.
    void onActivation(std::function<void()> handler) { m_onActivation = std::move(handler); }

    // What the holder's hidden window received; for the message procedure.
    void activationRequested();

private:
    std::string m_name;
    void* m_mutex = nullptr;
    void* m_mapping = nullptr;
    void* m_window = nullptr;
    std::function<void()> m_onActivation;
};

} // namespace vantrel::platform::win32
