#pragma once

#include "shell/OptionSettings.h"
#include "widgets/ui/Part.h"

class QLineEdit;

namespace korvex::widgets {
class TxLookupBox;
}

namespace korvex::shell {

// "Настройки пользователя" (111): the current user's default location and
// object type of new objects and the folder of contract documents, read as
// the page opens and written, per user, as it closes.
class TptUserOptions : public korvex::widgets::TPart
{
    Q_OBJECT
public:
    TptUserOptions(TAppContext &context, QWidget *parent);
    ~TptUserOptions() override;

    TUserSettings settings() const;
    void save();
    // The file chooser's answer: the folder of the file chosen.
    void takeFolderOf(const QString &file);

    korvex::widgets::TxLookupBox *locationBox() const { return m_location; }
    korvex::widgets::TxLookupBox *objectTypeBox() const { return m_objectType; }
    QLineEdit *pathEdit() const { return m_path; }

private:
    korvex::widgets::TxLookupBox *m_location;
    korvex::widgets::TxLookupBox *m_objectType;
    QLineEdit *m_path;
};

} // namespace korvex::shell
