; subrutina.asm: una subrutina llamada con CALLR que vuelve con RET.
;
; La subrutina "doble" deja en R1 el doble de R1. CALLR guarda la
; dirección de vuelta en la pila (RE apunta a su último elemento; al
; encender vale F000, así que la primera llamada escribe en EFFF) y salta
; a la dirección de RD; RET la recupera.
;
; Resultado: el puerto de salida 01 muestra 000E (2 x 7) y el 02 muestra
; 0042 (2 x 21H).
;
; Ensamblar:  tuka2 asm subrutina.asm -o subrutina.ehc
; Ejecutar:   tuka2 run subrutina.ehc

        LLI R1, 7
        LDI RD, doble       ; RD: la dirección de la subrutina
        CALLR               ; R1 := 2 x R1
        OUT H'01, R1
        LLI R1, H'21
        CALLR               ; RD sigue apuntando a doble
        OUT H'02, R1
        HALT

; doble: R1 := R1 + R1. No cambia más registros que R1.
doble:  ADDS R1, R1, R1
        RET
