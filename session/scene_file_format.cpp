#include "session/scene_file_format.h"

#include "session/transfer_texts.h"
#include "session/tune_words.h"

#include <algorithm>

namespace tarn {

namespace {

const uint8_t* bytesOf(const QByteArray& data) {
    return reinterpret_cast<const uint8_t*>(data.constData());
}

Bilingual fieldLabel(ImageField field) {
    switch (field) {
    case ImageField::CH_Name:
        return {"扬声器角色", "speaker role"};
    case ImageField::Input_Source:
        return {"输入源", "input source"};
    case ImageField::Total_Vol:
        return {"总音量", "master volume"};
    case ImageField::CH_Vol:
        return {"通道音量", "channel volume"};
    case ImageField::CH_Mute:
        return {"通道静音", "channel mute"};
    case ImageField::CH_Delay:
        return {"通道延时", "channel delay"};
    case ImageField::CH_Phase:
        return {"通道相位", "channel phase"};
    case ImageField::EQ_Bypass:
        return {"均衡旁通", "EQ bypass"};
    case ImageField::NoiseGate:
        return {"噪声门", "noise gate"};
    case ImageField::EQ_Freq:
        return {"均衡频率", "EQ frequency"};
    case ImageField::EQ_Gain:
        return {"均衡增益", "EQ gain"};
    case ImageField::EQ_Q:
        return {"均衡 Q 值", "EQ Q"};
    case ImageField::HPF_Freq:
        return {"高通频率", "high-pass frequency"};
    case ImageField::HPF_Slope:
        return {"高通斜率", "high-pass slope"};
    case ImageField::HPF_Off:
        return {"高通开关", "high-pass switch"};
    case ImageField::HPF_Type:
        return {"高通类型", "high-pass type"};
    case ImageField::LPF_Freq:
        return {"低通频率", "low-pass frequency"};
    case ImageField::LPF_Slope:
        return {"低通斜率", "low-pass slope"};
    case ImageField::LPF_Off:
        return {"低通开关", "low-pass switch"};
    case ImageField::LPF_Type:
        return {"低通类型", "low-pass type"};
    case ImageField::Reserved:
        return {"保留字节", "reserved byte"};
    case ImageField::None:
        break;
    }
    return {"", ""};
}

// "场景 2，CH3，第 5 段，" / "scene 2, CH3, band 5, "
BilingualText placeOf(const ImageViolation& v) {
    BilingualText where;
    auto add = [&where](const BilingualText& part) {
        where.zh += part.zh;
        where.en += part.en;
    };
    if (v.scene > 0) add(Fill_Text(transfer_text::FieldAtScene, {QString::number(v.scene)}));
    if (v.channel >= 0) {
        const QString ch = QStringLiteral("CH%1").arg(v.channel + 1);
        add({ch + QStringLiteral("，"), ch + QStringLiteral(", ")});
    }
    if (v.band >= 0) add(Fill_Text(transfer_text::FieldAtBand, {QString::number(v.band + 1)}));
    if (v.field == ImageField::Reserved)
        add(Fill_Text(transfer_text::FieldAtOffset, {QString::number(v.offset)}));
    return where;
}

} // namespace

SceneFileVerdict Check_Scene_File(const QByteArray& data) {
    return Check_Scene_File(bytesOf(data), static_cast<size_t>(data.size()));
}

SceneFileVerdict Check_All_File(const QByteArray& data) {
    return Check_All_File(bytesOf(data), static_cast<size_t>(data.size()));
}

BilingualText Scene_File_Check_Text(const SceneFileVerdict& verdict, bool allScenes) {
    switch (verdict.check) {
    case SceneFileCheck::IsAllScenes:
        return Text_Of(transfer_text::FileIsAllScenes);
    case SceneFileCheck::IsSingleScene:
        return Text_Of(transfer_text::FileIsSingleScene);
    case SceneFileCheck::FieldOutOfRange: {
        const ImageViolation& v = verdict.violation;
        const BilingualText where = placeOf(v);
        const Bilingual label = fieldLabel(v.field);
        const FieldLimits limits = Field_Limits(v.field);
        const QStringList rest{QString::fromLatin1(Field_Name(v.field)), QString::number(v.value),
                               QString::number(limits.min), QString::number(limits.max)};
        const BilingualText zh =
            Fill_Text(transfer_text::SceneFileField,
                      QStringList{where.zh, QString::fromUtf8(label.zh)} + rest);
        const BilingualText en =
            Fill_Text(transfer_text::SceneFileField,
                      QStringList{where.en, QString::fromUtf8(label.en)} + rest);
        return {zh.zh, en.en};
    }
    case SceneFileCheck::WrongSize:
    case SceneFileCheck::Ok:
        break;
    }
    return Text_Of(allScenes ? transfer_text::AllFileSize : transfer_text::SceneFileSize);
}

BilingualText Limited_Gains_Text(const std::vector<LimitedGain>& limited) {
    if (limited.empty()) return {};
    constexpr size_t kNamed = 6; // a notice, not a listing
    BilingualText items;
    for (size_t i = 0; i < limited.size() && i < kNamed; ++i) {
        const LimitedGain& g = limited[i];
        BilingualText item;
        if (g.scene > 0) item = Fill_Text(transfer_text::FieldAtScene, {QString::number(g.scene)});
        const BilingualText band = tune::Band(g.channel, g.band);
        const BilingualText from = tune::Gain_Text(g.from);
        const BilingualText to = tune::Gain_Text(g.to);
        items.zh += (i == 0 ? QString() : QStringLiteral("；")) + item.zh + band.zh +
                    QStringLiteral(" ") + from.zh + QStringLiteral(" → ") + to.zh;
        items.en += (i == 0 ? QString() : QStringLiteral("; ")) + item.en + band.en +
                    QStringLiteral(" ") + from.en + QStringLiteral(" → ") + to.en;
    }
    if (limited.size() > kNamed) {
        const BilingualText more =
            Fill_Text(transfer_text::GainsLimitedMore, {QString::number(limited.size() - kNamed)});
        items.zh += more.zh;
        items.en += more.en;
    }
    const BilingualText head =
        Fill_Text(transfer_text::GainsLimited, {QString::number(limited.size())});
    return {head.zh + items.zh + QStringLiteral("。"), head.en + items.en + QStringLiteral(".")};
}

int Download_Progress(int requests) {
    return std::clamp(requests * 10 / 46, 0, 100);
}

int Upload_All_Progress(int sends) {
    return std::clamp(sends * 10 / 47, 0, 100);
}

} // namespace tarn
