// The keys of the user defaults that the application registers at launch.
#pragma once

inline constexpr char ZLKUndoEnabledKey[] = "UndoEnabled";
inline constexpr char ZLKUndoLevelKey[] = "UndoLevels";
inline constexpr char ZLKShowPlanToolsKey[] = "ShowPlanTools";
inline constexpr char ZLKShowSnapToolsKey[] = "ShowSnapTools";
inline constexpr char ZLKShowGeneralToolsKey[] = "ShowGeneralTools";
inline constexpr char ZLKShowContentPanelKey[] = "ShowContentPanel";
inline constexpr char ZLKShowInspectorPanelKey[] = "ShowInspectorPanel";
inline constexpr char ZLKFoundationPlanColorKey[] = "FoundationPlanColor";
inline constexpr char ZLKFloorPlanColorKey[] = "FloorPlanColor";
inline constexpr char ZLKElectricalPlanColorKey[] = "ElectricalPlanColor";
inline constexpr char ZLKPlumbingPlanColorKey[] = "PlumbingPlanColor";
inline constexpr char ZLKRoofingPlanColorKey[] = "RoofingPlanColor";
inline constexpr char ZLKHVACPlanColorKey[] = "HVACPlanColor";
inline constexpr char ZLKDeckPlanColorKey[] = "DeckPlanColor";
inline constexpr char ZLKLandscapePlanColorKey[] = "LandscapePlanColor";
inline constexpr char ZLKDetailPlanColorKey[] = "DetailPlanColor";
inline constexpr char ZLKPlanBackgroundColorKey[] = "PlanBackgroundColor";
inline constexpr char ZLKInactiveFloorColorKey[] = "InactiveFloorColor";
inline constexpr char ZLKInteriorFillColorKey[] = "InteriorFillColor";
inline constexpr char ZLKTopographyLinesColorKey[] = "TopographyLinesColor";
inline constexpr char ZLKClearViewColorKey[] = "ClearViewColor";
inline constexpr char ZLKWireFrameColorKey[] = "WireFrameColor";
inline constexpr char ZLKGridColorKey[] = "GridColor";
// Unit system of new designs: 3 imperial, 4 metric.
inline constexpr char ZLKMeasurementSystemKey[] = "UseImperialSystemKey";
inline constexpr char ZLKAngleReadoutKey[] = "AngleReadoutKey";
inline constexpr char ZLKImperialReadoutKey[] = "ImperialReadoutKey";
inline constexpr char ZLKMetricReadoutKey[] = "MetricReadoutKey";
inline constexpr char ZLKForcePlanDefaultsKey[] = "ForcePlanDefaultsKey";
inline constexpr char ZLKMaxSearchResultsKey[] = "MaxSearchResults";
inline constexpr char ZLKPreviewSizeKey[] = "PreviewSizeKey";
