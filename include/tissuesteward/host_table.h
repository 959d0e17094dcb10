// SPDX-License-Identifier: MIT
// The host function table: one pointer per function of the host's plug-in
// API, each an exported C variable named exactly like the host function it
// holds. All are null until InitHVAccess binds them, and a function the host
// does not export stays null: check an entry before calling through it.
//
// The library exports these names as data while the host exports them as
// code; the library is linked so that its own references bind to its own
// variables (never to the host's functions of the same name).
#ifndef TISSUESTEWARD_HOST_TABLE_H
#define TISSUESTEWARD_HOST_TABLE_H

#include "tissuesteward/export.h"
#include "tissuesteward/host_api.h"

// Opens the running program through the dynamic loader and binds every entry
// by name, in table order. The version function comes first: when the program
// does not export it, its entry is set null, the rest keep their values and
// the result is false. Otherwise each entry receives what the program exports
// under its name, or null, and the result is true. A name that resolves to
// the library's own variable (the plug-in loaded with global symbols into a
// host that lacks the function) counts as missing. May run any number of times.
TS_API bool InitHVAccess();

extern "C" {

// --- host and user interface -------------------------------------------------
extern TS_API hvapi::GetVersion *hvGetVersionOfKorvelHV;
extern TS_API hvapi::PathOut *hvGetKorvelHVPath;
extern TS_API hvapi::PathOut *hvGetPluginsPath;

extern TS_API hvapi::Action *hvShowLogPane;
extern TS_API hvapi::ShowLogTab *hvShowLogTab;
extern TS_API hvapi::LogText *hvLogText;
extern TS_API hvapi::MessageBox *hvMessageBox;
extern TS_API int (*hvYesNoMessageBox)(const char *question);
extern TS_API int (*hvGetIntegerInput)(const char *prompt, int value, int low, int high);
extern TS_API float (*hvGetFloatInput)(const char *prompt, float value, float low, float high);
extern TS_API int (*hvGetTextInput)(const char *prompt, const char *initial, char *text);
extern TS_API hvapi::FileDialog *hvGetOpenFileName;
extern TS_API hvapi::FileDialog *hvGetSaveFileName;
extern TS_API hvapi::Action *hvUpdateActiveWindow;
extern TS_API hvapi::Action *hvShowBusyCursor;
extern TS_API hvapi::Action *hvStopBusyCursor;

// --- plots -------------------------------------------------------------------
extern TS_API hvapi::PlotSeries *hvPlotPoints;
extern TS_API hvapi::PlotSeries *hvAddPointsToPlot;
extern TS_API hvapi::PlotSeries *hvPlotLine;
extern TS_API hvapi::PlotSeries *hvAddLineToPlot;
extern TS_API hvapi::PlotBars *hvPlotBars;
extern TS_API hvapi::PlotBars *hvAddBarsToPlot;
extern TS_API hvapi::PlotPair *hvShowPlotAtPosition;
extern TS_API hvapi::PlotPair *hvResizePlot;
extern TS_API void (*hvSetBarPlotXAxisCategories)(const char *const *categories, int count);
extern TS_API hvapi::PlotRange *hvSetPlotXAxisRange;
extern TS_API hvapi::PlotRange *hvSetPlotYAxisRange;
extern TS_API hvapi::LogText *hvSetPlotTitle;
extern TS_API hvapi::PlotStyle *hvSetPlotMarkerSizeAndColor;
extern TS_API hvapi::PlotStyle *hvSetPlotLineSizeAndColor;
extern TS_API void (*hvSetPlotBarColors)(const int *rgb, int count);
extern TS_API void (*hvSetPlotFontSizes)(int title, int axes, int legend);
extern TS_API void (*hvShowPlotLegend)(bool show);
extern TS_API void (*hvSetPlotColorTheme)(int theme);

// --- workspace documents -----------------------------------------------------
extern TS_API int (*hvGetNumberOfDocsInWorkspace)();
extern TS_API int (*hvGetDocumentType)(int document);
extern TS_API void (*hvGetDocumentTypeName)(int document, char *name);
extern TS_API int (*hvGetIDOfCurrentDocument)();
extern TS_API hvapi::IndexAction *hvSetAsCurrentDocument;

// --- computations and dialogs ------------------------------------------------
extern TS_API bool (*hvMultiplyMatrices)(const float *a, const float *b, float *product, int rows,
                                         int inner, int columns);
extern TS_API hvapi::RecordOut *hvGetVolumeToolsParameters;

// --- current functional project ----------------------------------------------
extern TS_API hvapi::RecordOut *hvGetProjectHeader;
extern TS_API hvapi::RecordIn *hvSetProjectHeader;
extern TS_API hvapi::FloatData *hvGetProjectDataAsFloat;
extern TS_API hvapi::IntData *hvGetProjectDataAsInt;
extern TS_API hvapi::Handle *hvGetProjectDataRaw;
extern TS_API hvapi::PathAction *hvSaveProject;
extern TS_API hvapi::PathAction *hvSaveProjectWithData;
extern TS_API hvapi::RecordOut *hvGetProjectScannerPositionHeader;
extern TS_API hvapi::RecordIn *hvSetProjectScannerPositionHeader;

// --- current diffusion-weighted document -------------------------------------
extern TS_API hvapi::RecordOut *hvGetDiffusionHeader;
extern TS_API hvapi::RecordIn *hvSetDiffusionHeader;
extern TS_API hvapi::FloatData *hvGetDiffusionDataAsFloat;
extern TS_API hvapi::IntData *hvGetDiffusionDataAsInt;
extern TS_API hvapi::Handle *hvGetDiffusionDataRaw;
extern TS_API hvapi::IndexAction *hvConvertDiffusionDataFormat;
extern TS_API hvapi::PathAction *hvSaveDiffusion;
extern TS_API hvapi::PathAction *hvSaveDiffusionWithData;

// --- maps of the current functional project ----------------------------------
extern TS_API hvapi::RecordOut *hvGetProjectMaps;
extern TS_API hvapi::IndexedRecordIn *hvSetProjectMapParameters;
extern TS_API hvapi::Action *hvDeleteProjectMaps;
extern TS_API hvapi::PathAction *hvLoadProjectMaps;
extern TS_API hvapi::PathAction *hvSaveProjectMaps;
extern TS_API hvapi::RecordIn *hvCreateProjectMap;

// --- current volume ----------------------------------------------------------
extern TS_API hvapi::Handle *hvGetCurrentVolume;
extern TS_API hvapi::RecordOut *hvGetVolumeHeader;
extern TS_API hvapi::RecordIn *hvSetVolumeHeader;
extern TS_API hvapi::RecordOut *hvGetVolumeScannerPositionHeader;
extern TS_API hvapi::RecordIn *hvSetVolumeScannerPositionHeader;
extern TS_API hvapi::RecordOut *hvGetVolumeTransformationsHeader;
extern TS_API hvapi::RecordIn *hvSetVolumeTransformationsHeader;
extern TS_API hvapi::RecordIn *hvReframeVolume;
extern TS_API void (*hvGetVolumeCrossPosition)(int *x, int *y, int *z);

// --- companion volume of the current volume ----------------------------------
extern TS_API hvapi::Handle *hvGetCompanionVolume;
extern TS_API hvapi::PathAction *hvLoadCompanionVolume;
extern TS_API hvapi::PathAction *hvSaveCompanionVolume;
extern TS_API hvapi::Action *hvDetachCompanionVolume;
extern TS_API hvapi::Query *hvConvertCompanionToVolume;

// --- volume maps -------------------------------------------------------------
extern TS_API hvapi::RecordOut *hvGetVolumeMaps;
extern TS_API hvapi::IndexedRecordOut *hvGetVolumeMap;
extern TS_API hvapi::IndexedRecordIn *hvSetVolumeMapParameters;
extern TS_API hvapi::PathAction *hvLoadVolumeMaps;
extern TS_API hvapi::PathAction *hvAddVolumeMaps;
extern TS_API hvapi::PathAction *hvSaveVolumeMaps;
extern TS_API hvapi::RecordIn *hvCreateVolumeMap;
extern TS_API hvapi::Action *hvDeleteVolumeMaps;
extern TS_API hvapi::IndexAction *hvDeleteVolumeMap;
extern TS_API bool (*hvSetVolumeMapDisplayRange)(int map, float low, float high);

// --- secondary volume maps ---------------------------------------------------
extern TS_API hvapi::RecordOut *hvGetSecondaryMaps;
extern TS_API hvapi::IndexedRecordOut *hvGetSecondaryMap;
extern TS_API hvapi::IndexedRecordIn *hvSetSecondaryMapParameters;
extern TS_API hvapi::PathAction *hvLoadSecondaryMaps;
extern TS_API hvapi::PathAction *hvSaveSecondaryMaps;
extern TS_API hvapi::RecordIn *hvCreateSecondaryMap;
extern TS_API hvapi::Action *hvDeleteSecondaryMaps;

// --- time courses of the current volume --------------------------------------
extern TS_API hvapi::PathAction *hvLinkTimeCourse;
extern TS_API hvapi::RecordIn *hvCreateTimeCourse;
extern TS_API hvapi::RecordOut *hvGetTimeCourseHeader;
extern TS_API hvapi::RecordIn *hvSetTimeCourseHeader;
extern TS_API hvapi::Handle *hvGetTimeCourse;
extern TS_API hvapi::FloatData *hvGetTimeCourseDataAsFloat;
extern TS_API hvapi::IntData *hvGetTimeCourseDataAsInt;
extern TS_API hvapi::RecordIn *hvSetTimeCourseParameters;
extern TS_API hvapi::PathAction *hvSaveTimeCourse;
extern TS_API hvapi::Action *hvClearMultiDocAnalysis;
extern TS_API hvapi::PathAction *hvAddMultiDocReference;
extern TS_API bool (*hvGetVoxelTimeCourseByIndex)(int document, long voxel, float *values);
extern TS_API bool (*hvGetVoxelTimeCourseByCoords)(int document, int x, int y, int z,
                                                   float *values);
extern TS_API bool (*hvGetVoxelTimeCoursesByIndex)(long voxel, float *values);
extern TS_API bool (*hvGetVoxelTimeCoursesByCoords)(int x, int y, int z, float *values);

// --- linear model and mask of the current volume -----------------------------
extern TS_API hvapi::Handle *hvGetVolumeLinearModel;
extern TS_API hvapi::PathAction *hvLoadVolumeMask;
extern TS_API bool (*hvGetVolumeMask)(unsigned char *mask);

// --- 3-D scene and surfaces --------------------------------------------------
extern TS_API hvapi::Handle *hvGetScene;
extern TS_API hvapi::PathAction *hvLoadSurface;
extern TS_API hvapi::PathAction *hvAddSurface;
extern TS_API hvapi::Query *hvRemoveCurrentSurface;
extern TS_API hvapi::Handle *hvGetCurrentSurface;
extern TS_API hvapi::Action *hvReleaseSurfaceAccess;
extern TS_API hvapi::PathAction *hvSaveCurrentSurface;
extern TS_API hvapi::IndexAction *hvSetCurrentSurface;

// --- time courses on the current surface -------------------------------------
extern TS_API hvapi::PathAction *hvLinkSurfaceTimeCourse;
extern TS_API hvapi::Handle *hvGetSurfaceTimeCourse;
extern TS_API hvapi::RecordIn *hvSetSurfaceTimeCourseParameters;
extern TS_API hvapi::RecordIn *hvCreateSurfaceTimeCourse;
extern TS_API hvapi::PathAction *hvSaveSurfaceTimeCourse;
extern TS_API hvapi::Action *hvClearSurfaceMultiDocAnalysis;
extern TS_API hvapi::PathAction *hvAddSurfaceMultiDocReference;
extern TS_API bool (*hvGetVertexTimeCourse)(int vertex, float *values);
extern TS_API hvapi::FloatData *hvGetVertexTimeCourses;

// --- maps of the current surface ---------------------------------------------
extern TS_API hvapi::RecordOut *hvGetSurfaceMaps;
extern TS_API hvapi::IndexedRecordOut *hvGetSurfaceMap;
extern TS_API hvapi::IndexedRecordIn *hvSetSurfaceMapParameters;
extern TS_API hvapi::PathAction *hvLoadSurfaceMaps;
extern TS_API hvapi::PathAction *hvSaveSurfaceMaps;
extern TS_API hvapi::RecordIn *hvCreateSurfaceMap;
extern TS_API hvapi::Action *hvDeleteSurfaceMaps;
extern TS_API hvapi::IndexAction *hvOverlaySurfaceMap;

// --- mapping document of the current surface ---------------------------------
extern TS_API hvapi::Handle *hvGetSurfaceMapping;
extern TS_API hvapi::PathAction *hvLoadSurfaceMapping;
extern TS_API hvapi::PathAction *hvSaveSurfaceMapping;
extern TS_API hvapi::RecordIn *hvCreateSurfaceMapping;
extern TS_API hvapi::Action *hvDeleteSurfaceMapping;

// --- protocol ----------------------------------------------------------------
extern TS_API hvapi::Action *hvClearProtocol;
extern TS_API hvapi::PathAction *hvLoadProtocol;
extern TS_API hvapi::PathAction *hvSaveProtocol;
extern TS_API hvapi::RecordOut *hvGetProtocol;
extern TS_API hvapi::RecordIn *hvSetProtocol;
extern TS_API hvapi::IndexedRecordOut *hvGetProtocolCondition;
extern TS_API hvapi::NameToIndex *hvAddProtocolCondition;
extern TS_API bool (*hvAddProtocolConditionInterval)(int condition, int from, int to);

// --- design matrix -----------------------------------------------------------
extern TS_API hvapi::Action *hvClearDesignMatrix;
extern TS_API hvapi::NameToIndex *hvAddPredictor;
extern TS_API bool (*hvSetPredictorValuesFromCondition)(int predictor, int condition, float value);
extern TS_API bool (*hvSetPredictorValuesFromConditionName)(const char *predictor,
                                                            const char *condition, float value);
extern TS_API hvapi::IndexAction *hvApplyTwoGammaResponseToPredictor;
extern TS_API hvapi::NameAction *hvApplyTwoGammaResponseToPredictorName;
extern TS_API hvapi::IndexAction *hvApplyBoyntonResponseToPredictor;
extern TS_API hvapi::NameAction *hvApplyBoyntonResponseToPredictorName;
extern TS_API bool (*hvGetPredictor)(int predictor, float *values);
extern TS_API bool (*hvGetPredictorByName)(const char *name, float *values);
extern TS_API hvapi::PathAction *hvLoadDesignMatrix;
extern TS_API hvapi::PathAction *hvSaveDesignMatrix;

// --- regions of interest, in volumes and on surfaces -------------------------
extern TS_API hvapi::PathAction *hvLoadVolumeRegions;
extern TS_API hvapi::PathAction *hvSaveVolumeRegions;
extern TS_API hvapi::RecordOut *hvGetVolumeRegions;
extern TS_API hvapi::IndexedRecordOut *hvGetVolumeRegion;
extern TS_API hvapi::PathAction *hvLoadSurfaceRegions;
extern TS_API hvapi::PathAction *hvSaveSurfaceRegions;
extern TS_API hvapi::RecordOut *hvGetSurfaceRegions;
extern TS_API hvapi::IndexedRecordOut *hvGetSurfaceRegion;

// --- script parameters -------------------------------------------------------
extern TS_API hvapi::GetStringParameter *hvGetStringParameter;
extern TS_API hvapi::GetIntParameter *hvGetIntParameter;
extern TS_API hvapi::GetFloatParameter *hvGetFloatParameter;
extern TS_API hvapi::SetStringParameter *hvSetStringParameter;
extern TS_API hvapi::SetIntParameter *hvSetIntParameter;
extern TS_API hvapi::SetFloatParameter *hvSetFloatParameter;

// --- parameters of the host's plug-in dialog ---------------------------------
extern TS_API hvapi::GetStringParameter *hvGetDlgStringParameter;
extern TS_API hvapi::GetIntParameter *hvGetDlgIntegerParameter;
extern TS_API hvapi::GetFloatParameter *hvGetDlgFloatParameter;
extern TS_API hvapi::SetStringParameter *hvSetDlgStringOutputParameter;
extern TS_API hvapi::SetIntParameter *hvSetDlgIntegerOutputParameter;
extern TS_API hvapi::SetFloatParameter *hvSetDlgFloatOutputParameter;

// --- independent component analysis ------------------------------------------
extern TS_API hvapi::Query *hvLaunchICADialog;
}

#endif
