// The words that tell the user which way a request to the service failed. The windows keep
// their own failure texts ("无法连接", "数据上传出错"...) and add the reason after them.
#pragma once

#include <QString>

#include "ui/common/http_request.h"

namespace xuan5::ui {

// A short reason, and where the user can mend it: "连接被拒绝，服务没有运行",
// "令牌被拒绝，请检查 service.ini 的 token=". Empty for an answered exchange that brought a
// body; an answer of status 200 without one is a failure too.
QString FailureReason(const HttpReply& reply);

// `text`, then "：" and the reason when there is one: "无法连接：30秒内没有应答".
QString WithFailureReason(const QString& text, const HttpReply& reply);
QString WithFailureReason(const char* utf8, const HttpReply& reply);

}  // namespace xuan5::ui
