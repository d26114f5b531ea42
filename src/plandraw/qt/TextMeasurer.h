// Measuring text outside a drawing pass with the same fonts the plan is drawn with.
#pragma once

// Installs the measurer that Base2DView::textMetricsForString uses when no drawing context
// is current. Safe to repeat; needs a QGuiApplication.
void InstallQtTextMeasurer();
