// SPDX-License-Identifier: MIT
// The host function table and its binding by name.
#include "tissuesteward/host_table.h"

#include <dlfcn.h>

#include <cstddef>
#include <iterator>
#include <type_traits>

// Every entry, null until bound. Their symbols are the host functions' names.
extern "C" {
decltype(hvGetVersionOfKorvelHV) hvGetVersionOfKorvelHV{};
decltype(hvGetKorvelHVPath) hvGetKorvelHVPath{};
decltype(hvGetPluginsPath) hvGetPluginsPath{};
decltype(hvShowLogPane) hvShowLogPane{};
decltype(hvShowLogTab) hvShowLogTab{};
decltype(hvLogText) hvLogText{};
decltype(hvMessageBox) hvMessageBox{};
decltype(hvYesNoMessageBox) hvYesNoMessageBox{};
decltype(hvGetIntegerInput) hvGetIntegerInput{};
decltype(hvGetFloatInput) hvGetFloatInput{};
decltype(hvGetTextInput) hvGetTextInput{};
decltype(hvGetOpenFileName) hvGetOpenFileName{};
decltype(hvGetSaveFileName) hvGetSaveFileName{};
decltype(hvUpdateActiveWindow) hvUpdateActiveWindow{};
decltype(hvShowBusyCursor) hvShowBusyCursor{};
decltype(hvStopBusyCursor) hvStopBusyCursor{};
decltype(hvPlotPoints) hvPlotPoints{};
decltype(hvAddPointsToPlot) hvAddPointsToPlot{};
decltype(hvPlotLine) hvPlotLine{};
decltype(hvAddLineToPlot) hvAddLineToPlot{};
decltype(hvPlotBars) hvPlotBars{};
decltype(hvAddBarsToPlot) hvAddBarsToPlot{};
decltype(hvShowPlotAtPosition) hvShowPlotAtPosition{};
decltype(hvResizePlot) hvResizePlot{};
decltype(hvSetBarPlotXAxisCategories) hvSetBarPlotXAxisCategories{};
decltype(hvSetPlotXAxisRange) hvSetPlotXAxisRange{};
decltype(hvSetPlotYAxisRange) hvSetPlotYAxisRange{};
decltype(hvSetPlotTitle) hvSetPlotTitle{};
decltype(hvSetPlotMarkerSizeAndColor) hvSetPlotMarkerSizeAndColor{};
decltype(hvSetPlotLineSizeAndColor) hvSetPlotLineSizeAndColor{};
decltype(hvSetPlotBarColors) hvSetPlotBarColors{};
decltype(hvSetPlotFontSizes) hvSetPlotFontSizes{};
decltype(hvShowPlotLegend) hvShowPlotLegend{};
decltype(hvSetPlotColorTheme) hvSetPlotColorTheme{};
decltype(hvGetNumberOfDocsInWorkspace) hvGetNumberOfDocsInWorkspace{};
decltype(hvGetDocumentType) hvGetDocumentType{};
decltype(hvGetDocumentTypeName) hvGetDocumentTypeName{};
decltype(hvGetIDOfCurrentDocument) hvGetIDOfCurrentDocument{};
decltype(hvSetAsCurrentDocument) hvSetAsCurrentDocument{};
decltype(hvMultiplyMatrices) hvMultiplyMatrices{};
decltype(hvGetVolumeToolsParameters) hvGetVolumeToolsParameters{};
decltype(hvGetProjectHeader) hvGetProjectHeader{};
decltype(hvSetProjectHeader) hvSetProjectHeader{};
decltype(hvGetProjectDataAsFloat) hvGetProjectDataAsFloat{};
decltype(hvGetProjectDataAsInt) hvGetProjectDataAsInt{};
decltype(hvGetProjectDataRaw) hvGetProjectDataRaw{};
decltype(hvSaveProject) hvSaveProject{};
decltype(hvSaveProjectWithData) hvSaveProjectWithData{};
decltype(hvGetProjectScannerPositionHeader) hvGetProjectScannerPositionHeader{};
decltype(hvSetProjectScannerPositionHeader) hvSetProjectScannerPositionHeader{};
decltype(hvGetDiffusionHeader) hvGetDiffusionHeader{};
decltype(hvSetDiffusionHeader) hvSetDiffusionHeader{};
decltype(hvGetDiffusionDataAsFloat) hvGetDiffusionDataAsFloat{};
decltype(hvGetDiffusionDataAsInt) hvGetDiffusionDataAsInt{};
decltype(hvGetDiffusionDataRaw) hvGetDiffusionDataRaw{};
decltype(hvConvertDiffusionDataFormat) hvConvertDiffusionDataFormat{};
decltype(hvSaveDiffusion) hvSaveDiffusion{};
decltype(hvSaveDiffusionWithData) hvSaveDiffusionWithData{};
decltype(hvGetProjectMaps) hvGetProjectMaps{};
decltype(hvSetProjectMapParameters) hvSetProjectMapParameters{};
decltype(hvDeleteProjectMaps) hvDeleteProjectMaps{};
decltype(hvLoadProjectMaps) hvLoadProjectMaps{};
decltype(hvSaveProjectMaps) hvSaveProjectMaps{};
decltype(hvCreateProjectMap) hvCreateProjectMap{};
decltype(hvGetCurrentVolume) hvGetCurrentVolume{};
decltype(hvGetVolumeHeader) hvGetVolumeHeader{};
decltype(hvSetVolumeHeader) hvSetVolumeHeader{};
decltype(hvGetVolumeScannerPositionHeader) hvGetVolumeScannerPositionHeader{};
decltype(hvSetVolumeScannerPositionHeader) hvSetVolumeScannerPositionHeader{};
decltype(hvGetVolumeTransformationsHeader) hvGetVolumeTransformationsHeader{};
decltype(hvSetVolumeTransformationsHeader) hvSetVolumeTransformationsHeader{};
decltype(hvReframeVolume) hvReframeVolume{};
decltype(hvGetVolumeCrossPosition) hvGetVolumeCrossPosition{};
decltype(hvGetCompanionVolume) hvGetCompanionVolume{};
decltype(hvLoadCompanionVolume) hvLoadCompanionVolume{};
decltype(hvSaveCompanionVolume) hvSaveCompanionVolume{};
decltype(hvDetachCompanionVolume) hvDetachCompanionVolume{};
decltype(hvConvertCompanionToVolume) hvConvertCompanionToVolume{};
decltype(hvGetVolumeMaps) hvGetVolumeMaps{};
decltype(hvGetVolumeMap) hvGetVolumeMap{};
decltype(hvSetVolumeMapParameters) hvSetVolumeMapParameters{};
decltype(hvLoadVolumeMaps) hvLoadVolumeMaps{};
decltype(hvAddVolumeMaps) hvAddVolumeMaps{};
decltype(hvSaveVolumeMaps) hvSaveVolumeMaps{};
decltype(hvCreateVolumeMap) hvCreateVolumeMap{};
decltype(hvDeleteVolumeMaps) hvDeleteVolumeMaps{};
decltype(hvDeleteVolumeMap) hvDeleteVolumeMap{};
decltype(hvSetVolumeMapDisplayRange) hvSetVolumeMapDisplayRange{};
decltype(hvGetSecondaryMaps) hvGetSecondaryMaps{};
decltype(hvGetSecondaryMap) hvGetSecondaryMap{};
decltype(hvSetSecondaryMapParameters) hvSetSecondaryMapParameters{};
decltype(hvLoadSecondaryMaps) hvLoadSecondaryMaps{};
decltype(hvSaveSecondaryMaps) hvSaveSecondaryMaps{};
decltype(hvCreateSecondaryMap) hvCreateSecondaryMap{};
decltype(hvDeleteSecondaryMaps) hvDeleteSecondaryMaps{};
decltype(hvLinkTimeCourse) hvLinkTimeCourse{};
decltype(hvCreateTimeCourse) hvCreateTimeCourse{};
decltype(hvGetTimeCourseHeader) hvGetTimeCourseHeader{};
decltype(hvSetTimeCourseHeader) hvSetTimeCourseHeader{};
decltype(hvGetTimeCourse) hvGetTimeCourse{};
decltype(hvGetTimeCourseDataAsFloat) hvGetTimeCourseDataAsFloat{};
decltype(hvGetTimeCourseDataAsInt) hvGetTimeCourseDataAsInt{};
decltype(hvSetTimeCourseParameters) hvSetTimeCourseParameters{};
decltype(hvSaveTimeCourse) hvSaveTimeCourse{};
decltype(hvClearMultiDocAnalysis) hvClearMultiDocAnalysis{};
decltype(hvAddMultiDocReference) hvAddMultiDocReference{};
decltype(hvGetVoxelTimeCourseByIndex) hvGetVoxelTimeCourseByIndex{};
decltype(hvGetVoxelTimeCourseByCoords) hvGetVoxelTimeCourseByCoords{};
decltype(hvGetVoxelTimeCoursesByIndex) hvGetVoxelTimeCoursesByIndex{};
decltype(hvGetVoxelTimeCoursesByCoords) hvGetVoxelTimeCoursesByCoords{};
decltype(hvGetVolumeLinearModel) hvGetVolumeLinearModel{};
decltype(hvLoadVolumeMask) hvLoadVolumeMask{};
decltype(hvGetVolumeMask) hvGetVolumeMask{};
decltype(hvGetScene) hvGetScene{};
decltype(hvLoadSurface) hvLoadSurface{};
decltype(hvAddSurface) hvAddSurface{};
decltype(hvRemoveCurrentSurface) hvRemoveCurrentSurface{};
decltype(hvGetCurrentSurface) hvGetCurrentSurface{};
decltype(hvReleaseSurfaceAccess) hvReleaseSurfaceAccess{};
decltype(hvSaveCurrentSurface) hvSaveCurrentSurface{};
decltype(hvSetCurrentSurface) hvSetCurrentSurface{};
decltype(hvLinkSurfaceTimeCourse) hvLinkSurfaceTimeCourse{};
decltype(hvGetSurfaceTimeCourse) hvGetSurfaceTimeCourse{};
decltype(hvSetSurfaceTimeCourseParameters) hvSetSurfaceTimeCourseParameters{};
decltype(hvCreateSurfaceTimeCourse) hvCreateSurfaceTimeCourse{};
decltype(hvSaveSurfaceTimeCourse) hvSaveSurfaceTimeCourse{};
decltype(hvClearSurfaceMultiDocAnalysis) hvClearSurfaceMultiDocAnalysis{};
decltype(hvAddSurfaceMultiDocReference) hvAddSurfaceMultiDocReference{};
decltype(hvGetVertexTimeCourse) hvGetVertexTimeCourse{};
decltype(hvGetVertexTimeCourses) hvGetVertexTimeCourses{};
decltype(hvGetSurfaceMaps) hvGetSurfaceMaps{};
decltype(hvGetSurfaceMap) hvGetSurfaceMap{};
decltype(hvSetSurfaceMapParameters) hvSetSurfaceMapParameters{};
decltype(hvLoadSurfaceMaps) hvLoadSurfaceMaps{};
decltype(hvSaveSurfaceMaps) hvSaveSurfaceMaps{};
decltype(hvCreateSurfaceMap) hvCreateSurfaceMap{};
decltype(hvDeleteSurfaceMaps) hvDeleteSurfaceMaps{};
decltype(hvOverlaySurfaceMap) hvOverlaySurfaceMap{};
decltype(hvGetSurfaceMapping) hvGetSurfaceMapping{};
decltype(hvLoadSurfaceMapping) hvLoadSurfaceMapping{};
decltype(hvSaveSurfaceMapping) hvSaveSurfaceMapping{};
decltype(hvCreateSurfaceMapping) hvCreateSurfaceMapping{};
decltype(hvDeleteSurfaceMapping) hvDeleteSurfaceMapping{};
decltype(hvClearProtocol) hvClearProtocol{};
decltype(hvLoadProtocol) hvLoadProtocol{};
decltype(hvSaveProtocol) hvSaveProtocol{};
decltype(hvGetProtocol) hvGetProtocol{};
decltype(hvSetProtocol) hvSetProtocol{};
decltype(hvGetProtocolCondition) hvGetProtocolCondition{};
decltype(hvAddProtocolCondition) hvAddProtocolCondition{};
decltype(hvAddProtocolConditionInterval) hvAddProtocolConditionInterval{};
decltype(hvClearDesignMatrix) hvClearDesignMatrix{};
decltype(hvAddPredictor) hvAddPredictor{};
decltype(hvSetPredictorValuesFromCondition) hvSetPredictorValuesFromCondition{};
decltype(hvSetPredictorValuesFromConditionName) hvSetPredictorValuesFromConditionName{};
decltype(hvApplyTwoGammaResponseToPredictor) hvApplyTwoGammaResponseToPredictor{};
decltype(hvApplyTwoGammaResponseToPredictorName) hvApplyTwoGammaResponseToPredictorName{};
decltype(hvApplyBoyntonResponseToPredictor) hvApplyBoyntonResponseToPredictor{};
decltype(hvApplyBoyntonResponseToPredictorName) hvApplyBoyntonResponseToPredictorName{};
decltype(hvGetPredictor) hvGetPredictor{};
decltype(hvGetPredictorByName) hvGetPredictorByName{};
decltype(hvLoadDesignMatrix) hvLoadDesignMatrix{};
decltype(hvSaveDesignMatrix) hvSaveDesignMatrix{};
decltype(hvLoadVolumeRegions) hvLoadVolumeRegions{};
decltype(hvSaveVolumeRegions) hvSaveVolumeRegions{};
decltype(hvGetVolumeRegions) hvGetVolumeRegions{};
decltype(hvGetVolumeRegion) hvGetVolumeRegion{};
decltype(hvLoadSurfaceRegions) hvLoadSurfaceRegions{};
decltype(hvSaveSurfaceRegions) hvSaveSurfaceRegions{};
decltype(hvGetSurfaceRegions) hvGetSurfaceRegions{};
decltype(hvGetSurfaceRegion) hvGetSurfaceRegion{};
decltype(hvGetStringParameter) hvGetStringParameter{};
decltype(hvGetIntParameter) hvGetIntParameter{};
decltype(hvGetFloatParameter) hvGetFloatParameter{};
decltype(hvSetStringParameter) hvSetStringParameter{};
decltype(hvSetIntParameter) hvSetIntParameter{};
decltype(hvSetFloatParameter) hvSetFloatParameter{};
decltype(hvGetDlgStringParameter) hvGetDlgStringParameter{};
decltype(hvGetDlgIntegerParameter) hvGetDlgIntegerParameter{};
decltype(hvGetDlgFloatParameter) hvGetDlgFloatParameter{};
decltype(hvSetDlgStringOutputParameter) hvSetDlgStringOutputParameter{};
decltype(hvSetDlgIntegerOutputParameter) hvSetDlgIntegerOutputParameter{};
decltype(hvSetDlgFloatOutputParameter) hvSetDlgFloatOutputParameter{};
decltype(hvLaunchICADialog) hvLaunchICADialog{};
}

namespace {

// One row of the binding list: the name to look up and where to store it.
struct Entry {
  const char *name;
  const void *slot;              // the table variable itself
  void (*store)(void *symbol);  // writes the symbol into the variable
};

template <auto *slot>
void store_symbol(void *symbol) {
  using Pointer = std::remove_pointer_t<decltype(slot)>;
  *slot = reinterpret_cast<Pointer>(symbol);
}

template <auto *slot>
constexpr Entry entry(const char *name) {
  return {name, slot, &store_symbol<slot>};
}

// Binding order. The version function comes first: it decides whether the
// running program is a host at all.
constexpr Entry kHostTable[] = {
    // host and user interface
    entry<&hvGetVersionOfKorvelHV>("hvGetVersionOfKorvelHV"),
    entry<&hvGetKorvelHVPath>("hvGetKorvelHVPath"),
    entry<&hvGetPluginsPath>("hvGetPluginsPath"),
    entry<&hvShowLogPane>("hvShowLogPane"),
    entry<&hvShowLogTab>("hvShowLogTab"),
    entry<&hvLogText>("hvLogText"),
    entry<&hvMessageBox>("hvMessageBox"),
    entry<&hvYesNoMessageBox>("hvYesNoMessageBox"),
    entry<&hvGetIntegerInput>("hvGetIntegerInput"),
    entry<&hvGetFloatInput>("hvGetFloatInput"),
    entry<&hvGetTextInput>("hvGetTextInput"),
    entry<&hvGetOpenFileName>("hvGetOpenFileName"),
    entry<&hvGetSaveFileName>("hvGetSaveFileName"),
    entry<&hvUpdateActiveWindow>("hvUpdateActiveWindow"),
    entry<&hvShowBusyCursor>("hvShowBusyCursor"),
    entry<&hvStopBusyCursor>("hvStopBusyCursor"),
    // plots
    entry<&hvPlotPoints>("hvPlotPoints"),
    entry<&hvAddPointsToPlot>("hvAddPointsToPlot"),
    entry<&hvPlotLine>("hvPlotLine"),
    entry<&hvAddLineToPlot>("hvAddLineToPlot"),
    entry<&hvPlotBars>("hvPlotBars"),
    entry<&hvAddBarsToPlot>("hvAddBarsToPlot"),
    entry<&hvShowPlotAtPosition>("hvShowPlotAtPosition"),
    entry<&hvResizePlot>("hvResizePlot"),
    entry<&hvSetBarPlotXAxisCategories>("hvSetBarPlotXAxisCategories"),
    entry<&hvSetPlotXAxisRange>("hvSetPlotXAxisRange"),
    entry<&hvSetPlotYAxisRange>("hvSetPlotYAxisRange"),
    entry<&hvSetPlotTitle>("hvSetPlotTitle"),
    entry<&hvSetPlotMarkerSizeAndColor>("hvSetPlotMarkerSizeAndColor"),
    entry<&hvSetPlotLineSizeAndColor>("hvSetPlotLineSizeAndColor"),
    entry<&hvSetPlotBarColors>("hvSetPlotBarColors"),
    entry<&hvSetPlotFontSizes>("hvSetPlotFontSizes"),
    entry<&hvShowPlotLegend>("hvShowPlotLegend"),
    entry<&hvSetPlotColorTheme>("hvSetPlotColorTheme"),
    // workspace documents
    entry<&hvGetNumberOfDocsInWorkspace>("hvGetNumberOfDocsInWorkspace"),
    entry<&hvGetDocumentType>("hvGetDocumentType"),
    entry<&hvGetDocumentTypeName>("hvGetDocumentTypeName"),
    entry<&hvGetIDOfCurrentDocument>("hvGetIDOfCurrentDocument"),
    entry<&hvSetAsCurrentDocument>("hvSetAsCurrentDocument"),
    // computations and dialogs
    entry<&hvMultiplyMatrices>("hvMultiplyMatrices"),
    entry<&hvGetVolumeToolsParameters>("hvGetVolumeToolsParameters"),
    // current functional project
    entry<&hvGetProjectHeader>("hvGetProjectHeader"),
    entry<&hvSetProjectHeader>("hvSetProjectHeader"),
    entry<&hvGetProjectDataAsFloat>("hvGetProjectDataAsFloat"),
    entry<&hvGetProjectDataAsInt>("hvGetProjectDataAsInt"),
    entry<&hvGetProjectDataRaw>("hvGetProjectDataRaw"),
    entry<&hvSaveProject>("hvSaveProject"),
    entry<&hvSaveProjectWithData>("hvSaveProjectWithData"),
    entry<&hvGetProjectScannerPositionHeader>("hvGetProjectScannerPositionHeader"),
    entry<&hvSetProjectScannerPositionHeader>("hvSetProjectScannerPositionHeader"),
    // current diffusion-weighted document
    entry<&hvGetDiffusionHeader>("hvGetDiffusionHeader"),
    entry<&hvSetDiffusionHeader>("hvSetDiffusionHeader"),
    entry<&hvGetDiffusionDataAsFloat>("hvGetDiffusionDataAsFloat"),
    entry<&hvGetDiffusionDataAsInt>("hvGetDiffusionDataAsInt"),
    entry<&hvGetDiffusionDataRaw>("hvGetDiffusionDataRaw"),
    entry<&hvConvertDiffusionDataFormat>("hvConvertDiffusionDataFormat"),
    entry<&hvSaveDiffusion>("hvSaveDiffusion"),
    entry<&hvSaveDiffusionWithData>("hvSaveDiffusionWithData"),
    // maps of the current functional project
    entry<&hvGetProjectMaps>("hvGetProjectMaps"),
    entry<&hvSetProjectMapParameters>("hvSetProjectMapParameters"),
    entry<&hvDeleteProjectMaps>("hvDeleteProjectMaps"),
    entry<&hvLoadProjectMaps>("hvLoadProjectMaps"),
    entry<&hvSaveProjectMaps>("hvSaveProjectMaps"),
    entry<&hvCreateProjectMap>("hvCreateProjectMap"),
    // current volume
    entry<&hvGetCurrentVolume>("hvGetCurrentVolume"),
    entry<&hvGetVolumeHeader>("hvGetVolumeHeader"),
    entry<&hvSetVolumeHeader>("hvSetVolumeHeader"),
    entry<&hvGetVolumeScannerPositionHeader>("hvGetVolumeScannerPositionHeader"),
    entry<&hvSetVolumeScannerPositionHeader>("hvSetVolumeScannerPositionHeader"),
    entry<&hvGetVolumeTransformationsHeader>("hvGetVolumeTransformationsHeader"),
    entry<&hvSetVolumeTransformationsHeader>("hvSetVolumeTransformationsHeader"),
    entry<&hvReframeVolume>("hvReframeVolume"),
    entry<&hvGetVolumeCrossPosition>("hvGetVolumeCrossPosition"),
    // companion volume of the current volume
    entry<&hvGetCompanionVolume>("hvGetCompanionVolume"),
    entry<&hvLoadCompanionVolume>("hvLoadCompanionVolume"),
    entry<&hvSaveCompanionVolume>("hvSaveCompanionVolume"),
    entry<&hvDetachCompanionVolume>("hvDetachCompanionVolume"),
    entry<&hvConvertCompanionToVolume>("hvConvertCompanionToVolume"),
    // volume maps
    entry<&hvGetVolumeMaps>("hvGetVolumeMaps"),
    entry<&hvGetVolumeMap>("hvGetVolumeMap"),
    entry<&hvSetVolumeMapParameters>("hvSetVolumeMapParameters"),
    entry<&hvLoadVolumeMaps>("hvLoadVolumeMaps"),
    entry<&hvAddVolumeMaps>("hvAddVolumeMaps"),
    entry<&hvSaveVolumeMaps>("hvSaveVolumeMaps"),
    entry<&hvCreateVolumeMap>("hvCreateVolumeMap"),
    entry<&hvDeleteVolumeMaps>("hvDeleteVolumeMaps"),
    entry<&hvDeleteVolumeMap>("hvDeleteVolumeMap"),
    entry<&hvSetVolumeMapDisplayRange>("hvSetVolumeMapDisplayRange"),
    // secondary volume maps
    entry<&hvGetSecondaryMaps>("hvGetSecondaryMaps"),
    entry<&hvGetSecondaryMap>("hvGetSecondaryMap"),
    entry<&hvSetSecondaryMapParameters>("hvSetSecondaryMapParameters"),
    entry<&hvLoadSecondaryMaps>("hvLoadSecondaryMaps"),
    entry<&hvSaveSecondaryMaps>("hvSaveSecondaryMaps"),
    entry<&hvCreateSecondaryMap>("hvCreateSecondaryMap"),
    entry<&hvDeleteSecondaryMaps>("hvDeleteSecondaryMaps"),
    // time courses of the current volume
    entry<&hvLinkTimeCourse>("hvLinkTimeCourse"),
    entry<&hvCreateTimeCourse>("hvCreateTimeCourse"),
    entry<&hvGetTimeCourseHeader>("hvGetTimeCourseHeader"),
    entry<&hvSetTimeCourseHeader>("hvSetTimeCourseHeader"),
    entry<&hvGetTimeCourse>("hvGetTimeCourse"),
    entry<&hvGetTimeCourseDataAsFloat>("hvGetTimeCourseDataAsFloat"),
    entry<&hvGetTimeCourseDataAsInt>("hvGetTimeCourseDataAsInt"),
    entry<&hvSetTimeCourseParameters>("hvSetTimeCourseParameters"),
    entry<&hvSaveTimeCourse>("hvSaveTimeCourse"),
    entry<&hvClearMultiDocAnalysis>("hvClearMultiDocAnalysis"),
    entry<&hvAddMultiDocReference>("hvAddMultiDocReference"),
    entry<&hvGetVoxelTimeCourseByIndex>("hvGetVoxelTimeCourseByIndex"),
    entry<&hvGetVoxelTimeCourseByCoords>("hvGetVoxelTimeCourseByCoords"),
    entry<&hvGetVoxelTimeCoursesByIndex>("hvGetVoxelTimeCoursesByIndex"),
    entry<&hvGetVoxelTimeCoursesByCoords>("hvGetVoxelTimeCoursesByCoords"),
    // linear model and mask of the current volume
    entry<&hvGetVolumeLinearModel>("hvGetVolumeLinearModel"),
    entry<&hvLoadVolumeMask>("hvLoadVolumeMask"),
    entry<&hvGetVolumeMask>("hvGetVolumeMask"),
    // 3-D scene and surfaces
    entry<&hvGetScene>("hvGetScene"),
    entry<&hvLoadSurface>("hvLoadSurface"),
    entry<&hvAddSurface>("hvAddSurface"),
    entry<&hvRemoveCurrentSurface>("hvRemoveCurrentSurface"),
    entry<&hvGetCurrentSurface>("hvGetCurrentSurface"),
    entry<&hvReleaseSurfaceAccess>("hvReleaseSurfaceAccess"),
    entry<&hvSaveCurrentSurface>("hvSaveCurrentSurface"),
    entry<&hvSetCurrentSurface>("hvSetCurrentSurface"),
    // time courses on the current surface
    entry<&hvLinkSurfaceTimeCourse>("hvLinkSurfaceTimeCourse"),
    entry<&hvGetSurfaceTimeCourse>("hvGetSurfaceTimeCourse"),
    entry<&hvSetSurfaceTimeCourseParameters>("hvSetSurfaceTimeCourseParameters"),
    entry<&hvCreateSurfaceTimeCourse>("hvCreateSurfaceTimeCourse"),
    entry<&hvSaveSurfaceTimeCourse>("hvSaveSurfaceTimeCourse"),
    entry<&hvClearSurfaceMultiDocAnalysis>("hvClearSurfaceMultiDocAnalysis"),
    entry<&hvAddSurfaceMultiDocReference>("hvAddSurfaceMultiDocReference"),
    entry<&hvGetVertexTimeCourse>("hvGetVertexTimeCourse"),
    entry<&hvGetVertexTimeCourses>("hvGetVertexTimeCourses"),
    // maps of the current surface
    entry<&hvGetSurfaceMaps>("hvGetSurfaceMaps"),
    entry<&hvGetSurfaceMap>("hvGetSurfaceMap"),
    entry<&hvSetSurfaceMapParameters>("hvSetSurfaceMapParameters"),
    entry<&hvLoadSurfaceMaps>("hvLoadSurfaceMaps"),
    entry<&hvSaveSurfaceMaps>("hvSaveSurfaceMaps"),
    entry<&hvCreateSurfaceMap>("hvCreateSurfaceMap"),
    entry<&hvDeleteSurfaceMaps>("hvDeleteSurfaceMaps"),
    entry<&hvOverlaySurfaceMap>("hvOverlaySurfaceMap"),
    // mapping document of the current surface
    entry<&hvGetSurfaceMapping>("hvGetSurfaceMapping"),
    entry<&hvLoadSurfaceMapping>("hvLoadSurfaceMapping"),
    entry<&hvSaveSurfaceMapping>("hvSaveSurfaceMapping"),
    entry<&hvCreateSurfaceMapping>("hvCreateSurfaceMapping"),
    entry<&hvDeleteSurfaceMapping>("hvDeleteSurfaceMapping"),
    // protocol
    entry<&hvClearProtocol>("hvClearProtocol"),
    entry<&hvLoadProtocol>("hvLoadProtocol"),
    entry<&hvSaveProtocol>("hvSaveProtocol"),
    entry<&hvGetProtocol>("hvGetProtocol"),
    entry<&hvSetProtocol>("hvSetProtocol"),
    entry<&hvGetProtocolCondition>("hvGetProtocolCondition"),
    entry<&hvAddProtocolCondition>("hvAddProtocolCondition"),
    entry<&hvAddProtocolConditionInterval>("hvAddProtocolConditionInterval"),
    // design matrix
    entry<&hvClearDesignMatrix>("hvClearDesignMatrix"),
    entry<&hvAddPredictor>("hvAddPredictor"),
    entry<&hvSetPredictorValuesFromCondition>("hvSetPredictorValuesFromCondition"),
    entry<&hvSetPredictorValuesFromConditionName>("hvSetPredictorValuesFromConditionName"),
    entry<&hvApplyTwoGammaResponseToPredictor>("hvApplyTwoGammaResponseToPredictor"),
    entry<&hvApplyTwoGammaResponseToPredictorName>("hvApplyTwoGammaResponseToPredictorName"),
    entry<&hvApplyBoyntonResponseToPredictor>("hvApplyBoyntonResponseToPredictor"),
    entry<&hvApplyBoyntonResponseToPredictorName>("hvApplyBoyntonResponseToPredictorName"),
    entry<&hvGetPredictor>("hvGetPredictor"),
    entry<&hvGetPredictorByName>("hvGetPredictorByName"),
    entry<&hvLoadDesignMatrix>("hvLoadDesignMatrix"),
    entry<&hvSaveDesignMatrix>("hvSaveDesignMatrix"),
    // regions of interest, in volumes and on surfaces
    entry<&hvLoadVolumeRegions>("hvLoadVolumeRegions"),
    entry<&hvSaveVolumeRegions>("hvSaveVolumeRegions"),
    entry<&hvGetVolumeRegions>("hvGetVolumeRegions"),
    entry<&hvGetVolumeRegion>("hvGetVolumeRegion"),
    entry<&hvLoadSurfaceRegions>("hvLoadSurfaceRegions"),
    entry<&hvSaveSurfaceRegions>("hvSaveSurfaceRegions"),
    entry<&hvGetSurfaceRegions>("hvGetSurfaceRegions"),
    entry<&hvGetSurfaceRegion>("hvGetSurfaceRegion"),
    // script parameters
    entry<&hvGetStringParameter>("hvGetStringParameter"),
    entry<&hvGetIntParameter>("hvGetIntParameter"),
    entry<&hvGetFloatParameter>("hvGetFloatParameter"),
    entry<&hvSetStringParameter>("hvSetStringParameter"),
    entry<&hvSetIntParameter>("hvSetIntParameter"),
    entry<&hvSetFloatParameter>("hvSetFloatParameter"),
    // parameters of the host's plug-in dialog
    entry<&hvGetDlgStringParameter>("hvGetDlgStringParameter"),
    entry<&hvGetDlgIntegerParameter>("hvGetDlgIntegerParameter"),
    entry<&hvGetDlgFloatParameter>("hvGetDlgFloatParameter"),
    entry<&hvSetDlgStringOutputParameter>("hvSetDlgStringOutputParameter"),
    entry<&hvSetDlgIntegerOutputParameter>("hvSetDlgIntegerOutputParameter"),
    entry<&hvSetDlgFloatOutputParameter>("hvSetDlgFloatOutputParameter"),
    // independent component analysis
    entry<&hvLaunchICADialog>("hvLaunchICADialog"),
};
static_assert(std::size(kHostTable) == 184, "the host exports 184 plug-in functions");

// What the running program exports under the entry's name. Loaded with
// global symbols into a host that lacks the function, the library would find
// its own table variable there; that is data, not the host's function.
void *lookup(void *program, const Entry &entry) {
  void *symbol = dlsym(program, entry.name);
  return symbol == entry.slot ? nullptr : symbol;
}

}  // namespace

bool InitHVAccess() {
  void *program = dlopen(nullptr, RTLD_LAZY);  // never closed: the table points into it
  if (program == nullptr) return false;

  const Entry &version = kHostTable[0];
  void *version_function = lookup(program, version);
  version.store(version_function);
  if (version_function == nullptr) return false;

  for (std::size_t i = 1; i < std::size(kHostTable); ++i)
    kHostTable[i].store(lookup(program, kHostTable[i]));
  return true;
}
