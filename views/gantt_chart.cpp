#include "views/gantt_chart.h"

namespace nerin {

}  // namespace nerin
