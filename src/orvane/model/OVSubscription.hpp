// The two kinds of subscription a listener holds for a podcast: the podcast
// itself and its notifications.
#pragma once

namespace orvane {

enum class OVSubscription { podcast, notification };

}  // namespace orvane
