#include "sound/soundloader.h"

namespace orvane {

SoundLoader::SoundLoader(std::function<void()> arrived) : m_arrived(std::move(arrived)) {}

SoundLoader::~SoundLoader() {
    stop();
}

void SoundLoader::start(const std::string& folder, DecodeOptions options) {
    stop();
    m_cancel.store(false);
    options.cancel = &m_cancel;
    m_worker = std::thread([this, folder, options] { run(folder, options); });
}

void SoundLoader::stop() {
    m_cancel.store(true);
    if (m_worker.joinable())
        m_worker.join();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_events.clear();
}

std::vector<SoundLoadEvent> SoundLoader::take() {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<SoundLoadEvent> taken;
    taken.swap(m_events);
    return taken;
}

void SoundLoader::push(SoundLoadEvent event) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_events.push_back(std::move(event));
    }
    if (m_arrived)
        m_arrived();
}

void SoundLoader::run(std::string folder, DecodeOptions options) {
    using Kind = SoundLoadEvent::Kind;
    walkSoundFolder(
        folder,
        [this](const std::string& name) {
            push({Kind::Reading, name, {}, {}});
        },
        [this](Sound&& sound) {
            push({Kind::Loaded, {}, {}, std::move(sound)});
        },
        [this](const std::string& path, const std::string& reason) {
            push({Kind::LeftOut, path, reason, {}});
        },
        options);
    if (!m_cancel.load())
        push({Kind::Finished, {}, {}, {}});
}

} // namespace orvane
