#pragma once
// An OLA client for the sender thread's tests: olad's answers are switched by
// the test, every frame it accepted is kept, and a send can be held as a peer
// that stopped reading would hold it. Safe between the sender thread and the
// test thread.

#include "dmx/olaclient.h"
#include "dmx/olasink.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace orvane::test {

struct FakeOla {
    struct Sent {
        unsigned universe;
        Universe slots;
    };

    std::mutex mutex;
    std::condition_variable changed;
    bool reachable = true;
    int refusal = 111; // ECONNREFUSED, the errno of a connect to an absent olad
    bool failSends = false;
    bool holdSends = false;
    int connects = 0;
    int sendsInProgress = 0;
    std::vector<Sent> sent;

    void set(bool FakeOla::*flag, bool value) {
        std::lock_guard lock(mutex);
        this->*flag = value;
        changed.notify_all();
    }
    template <typename T> T read(T FakeOla::*field) {
        std::lock_guard lock(mutex);
        return this->*field;
    }
    std::vector<Sent> frames() {
        std::lock_guard lock(mutex);
        return sent;
    }
    // Waits (at most 5 s) until pred holds under the lock.
    bool waitFor(const std::function<bool()>& pred) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(5), pred);
    }
};

class FakeOlaClient final : public OlaClient {
public:
    explicit FakeOlaClient(std::shared_ptr<FakeOla> ola) : m_ola(std::move(ola)) {}

    bool connect() override {
        std::lock_guard lock(m_ola->mutex);
        ++m_ola->connects;
        m_ola->changed.notify_all();
        m_error = m_ola->reachable ? 0 : m_ola->refusal;
        return m_ola->reachable;
    }
    bool send(unsigned universe, const Universe& channels) override {
        std::unique_lock lock(m_ola->mutex);
        ++m_ola->sendsInProgress;
        m_ola->changed.notify_all();
        m_ola->changed.wait(lock, [&] { return !m_ola->holdSends; });
        --m_ola->sendsInProgress;
        bool ok = !m_ola->failSends;
        if (ok)
            m_ola->sent.push_back({universe, channels});
        m_ola->changed.notify_all();
        return ok;
    }
    void disconnect() override {}
    int lastError() const override { return m_error; }

private:
    std::shared_ptr<FakeOla> m_ola;
    int m_error = 0;
};

// Sink options with a fake client and a quick retry.
inline OlaSinkOptions fakeOlaOptions(const std::shared_ptr<FakeOla>& ola,
                                     Milliseconds retry = Milliseconds{20}) {
    OlaSinkOptions o;
    o.makeClient = [ola] { return std::make_unique<FakeOlaClient>(ola); };
    o.retry = retry;
    o.realtime = false;
    return o;
}

// Polls cond every millisecond for at most 5 s.
inline bool eventually(const std::function<bool()>& cond) {
    for (int i = 0; i < 5000; ++i) {
        if (cond())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return cond();
}

} // namespace orvane::test
