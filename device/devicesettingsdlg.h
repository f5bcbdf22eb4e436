#pragma once

#include "settings/deviceservicesettings.h"
#include "settings/portconfig.h"

#include <QDialog>
#include <functional>
#include <vector>

class AppSettings;
class IPrompt;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

// "Настройки устройства": the device's picture list and its three flags, edited on a copy and
// sent to the device in the flags frame and the picture-list frame.
class CDeviceSettingsDlg : public QDialog
{
    Q_OBJECT
public:
    // Waits the given number of milliseconds after a frame.
    using WaitFunction = std::function<void(int ms)>;

    CDeviceSettingsDlg(const DeviceServiceSettings& device, const PortConfig& port, IPrompt& prompt,
                       QWidget* parent = nullptr);
    ~CDeviceSettingsDlg() override;

    // The command: runs the dialog on a copy; after a successful transfer stores the copy and
    // rebuilds the texts of the settings file.
    static void OnDeviceSettings(QWidget* parent, AppSettings& settings, IPrompt& prompt);
    // Replaces the pause after each frame (tests); an empty function restores the timed pause.
    static void SetWaitFunction(WaitFunction wait);
    // Offers "На несколько табло…", sending to displays of the list at path.
    void SetDisplayListPath(const QString& path);
    // Copies the dialog's flags and pictures into the settings (count unchanged).
    void StoreInto(DeviceServiceSettings& device) const;

    void OnApplyChanges();
    void accept() override; // "Применить к устройству": the transfer
    // "На несколько табло…": the same frames to the displays the operator ticks; the dialog
    // ends as OK when every one of them got them, and stays open with the edits otherwise.
    void OnSendMany();
    void reject() override;

    static QString Caption();
    static QString BadOrder();
    static QString BadDuration();

    bool m_bGreeting = false;
    bool m_bDemoPictures = false;
    bool m_bDemoString = false;
    int m_nPictureCount = 0;
    std::vector<PictureEntry> m_pPictures;
    int m_nCurrent = 0;

    QTableWidget* m_pList = nullptr;
    QLineEdit* m_pName = nullptr;
    QComboBox* m_pUse = nullptr;
    QLineEdit* m_pOrder = nullptr;
    QLineEdit* m_pDuration = nullptr;
    QPushButton* m_pApplyChanges = nullptr;
    QCheckBox* m_pGreeting = nullptr;
    QCheckBox* m_pDemoString = nullptr;
    QCheckBox* m_pDemoPictures = nullptr;
    QPushButton* m_pSendMany = nullptr;

private:
    void BuildControls();
    void InitGImageList();
    void FillRow(int row);
    void LoadCurrentPicture();
    void OnListNotify(int row);
    void ApplyCurrentPicture(int duration, int newPosition);
    bool Transfer();
    // Reads the check boxes; false (told) when the picture list is too long to send.
    bool ReadFlags();

    PortConfig m_port;
    IPrompt& m_prompt;
    bool m_bTransferring = false;
    QString m_strListPath;
};
