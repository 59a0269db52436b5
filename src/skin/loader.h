#pragma once
#include <functional>
#include <memory>
#include <string>

#include "skin/definition.h"
#include "skin/tab_strip.h"

namespace tinyxml2 {
class XMLElement;
}

namespace Skin {

// Shows a message to the user: text and caption ("Error").
using MessageSink = std::function<void(const std::string& text, const std::string& caption)>;

// Reads a skin description and its images into a `Definition`. One per process.
class Loader {
public:
    static Loader& instance();

    // Loads the named skin from the skins folder; nothing when the description cannot
    // be read or fails a check (everything built so far is freed).
    std::unique_ptr<Definition> Load(const std::string& skin_name);
    // The same from a given skins folder.
    std::unique_ptr<Definition> LoadFrom(const std::string& skins_folder, const std::string& skin_name);
    // Why the last load gave nothing: the description file, then the fault as logged.
    const std::string& Fault() const { return m_fault; }

    // The "Skins Directory" setting; when missing, the packaged skins folder, which is
    // written back to the setting.
    static std::string SkinsFolder();
    // "skin_pro.xml" for the Pro tier's splash image, else "skin.xml".
    static std::string DescriptionFile(const std::string& splash_path);

    // Where the "information" messages go (by default a message box, or the log when
    // there is no display). Tests capture them here.
    void set_message_sink(MessageSink sink);
    // How tab labels are measured (Pango by default).
    void set_label_measure(LabelMeasure measure);

private:
    Loader();

    // Logs the fault, keeps it for Fault() and gives false.
    bool Fail(const std::string& fault);
    bool ReadInformation(Definition& skin, tinyxml2::XMLElement* root);
    bool ReadWindow(Definition& skin, tinyxml2::XMLElement* node);
    bool ReadControl(Window& window, Group* group, tinyxml2::XMLElement* node);
    void ReadTabs(Window& window, tinyxml2::XMLElement* node);
    bool ReadTab(Window& window, tinyxml2::XMLElement* node);

    MessageSink m_message_sink;
    LabelMeasure m_label_measure;
    std::string m_file; // the description file of the load under way
    std::string m_fault;
};

} // namespace Skin
