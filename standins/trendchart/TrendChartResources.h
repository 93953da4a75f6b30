#pragma once
// Resource ids of the trend-chart stand-in.
#define IDR_TREND_CHART 101
#define IDD_TREND_CHART 102
